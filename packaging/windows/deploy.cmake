# The program with what it loads: the Qt plugins it needs and the DLLs that it and they import,
# from the cross-built Qt and the MinGW runtime.
install(TARGETS quelvaro RUNTIME DESTINATION .)

set(_qt_prefix ${QT6_INSTALL_PREFIX})
set(QUELVARO_DLL_DIRS ${_qt_prefix}/${QT6_INSTALL_BINS} ${QUELVARO_MINGW_RUNTIME_DIR} ${CMAKE_FIND_ROOT_PATH}/lib /usr/x86_64-w64-mingw32/lib)

set(QUELVARO_PLUGINS platforms/qwindows.dll styles/qwindowsvistastyle.dll)
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
