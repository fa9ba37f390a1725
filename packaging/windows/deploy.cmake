# The program with what it loads: the Qt plugins it needs and the DLLs that it and they import,
# from the cross-built Qt and the MinGW runtime.
install(TARGETS quelvaro RUNTIME DESTINATION .)

set(_qt_prefix ${QT6_INSTALL_PREFIX})
set(QUELVARO_DLL_DIRS ${_qt_prefix}/${QT6_INSTALL_BINS} ${QUELVARO_MINGW_RUNTIME_DIR} ${CMAKE_FIND_ROOT_PATH}/lib /usr/x86_64-w64-mingw32/lib)

# The style plugin that holds "windowsvista": its own until Qt 6.6, Qt's modern Windows styles after.
set(QUELVARO_PLUGINS platforms/qwindows.dll)
foreach(_style qmodernwindowsstyle qwindowsvistastyle)
    if(EXISTS ${_qt_prefix}/plugins/styles/${_style}.dll)
        list(APPEND QUELVARO_PLUGINS styles/${_style}.dll)
        break()
    endif()
endforeach()
if(NOT QUELVARO_PLUGINS MATCHES "styles/")
    message(FATAL_ERROR "no style plugin with \"windowsvista\" in ${_qt_prefix}/plugins/styles")
endif()
foreach(plugin IN LISTS QUELVARO_PLUGINS)
    cmake_path(GET plugin PARENT_PATH _folder)
    install(FILES ${_qt_prefix}/plugins/${plugin} DESTINATION ${_folder})
endforeach()
list(TRANSFORM QUELVARO_PLUGINS PREPEND ${_qt_prefix}/plugins/ OUTPUT_VARIABLE _plugin_files)

install(CODE "
    set(QUELVARO_OBJDUMP \"${CMAKE_OBJDUMP}\")
    set(QUELVARO_STRIP \"${CMAKE_STRIP}\")
    set(QUELVARO_BINARIES \"$<TARGET_FILE:quelvaro>;${_plugin_files}\")
    set(QUELVARO_DLL_DIRS \"${QUELVARO_DLL_DIRS}\")
    include(\"${CMAKE_CURRENT_LIST_DIR}/imports.cmake\")
")

# With a certificate given (QUELVARO_SIGN_PKCS12, see the README), the program and every DLL it
# ships are signed once installed and stripped, so that both packages carry the signed files.
install(CODE "
    if(NOT \"\$ENV{QUELVARO_SIGN_PKCS12}\" STREQUAL \"\")
        file(GLOB_RECURSE _binaries \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.exe\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.dll\")
        execute_process(COMMAND bash \"${CMAKE_CURRENT_LIST_DIR}/sign.sh\" \"${QUELVARO_NAME}\" \"${PROJECT_HOMEPAGE_URL}\"
            \${_binaries} COMMAND_ERROR_IS_FATAL ANY)
    endif()
")
