# The licences and the third-party notice the Windows packages carry in licenses\: the program's
# own licence and, for each component bundled beside the program, the licence texts of the Debian
# package it comes from and a notice naming the version the build used and where its source is.
# All of it is read at configuration from the installed packages and the Qt build.
set(_licenses ${CMAKE_CURRENT_BINARY_DIR}/licenses)
file(REMOVE_RECURSE ${_licenses})

# Windows line ends, for Notepad and the installer's licence page.
function(quelvaro_license_text name text)
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${_licenses}/${name} "${text}")
endfunction()

# <prefix>_PACKAGE, _VERSION, _SOURCE ("name version") and _BUILT_USING of an installed Debian
# package, or of the one that installed a file.
function(quelvaro_debian_origin file prefix)
    execute_process(COMMAND dpkg-query -S ${file} OUTPUT_VARIABLE owner RESULT_VARIABLE rc ERROR_QUIET)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "no Debian package installed ${file}: the notices cannot name its source")
    endif()
    string(REGEX MATCH "^[^:,]+" package "${owner}")
    quelvaro_debian_package(${package} ${prefix})
    foreach(field PACKAGE VERSION SOURCE BUILT_USING)
        set(${prefix}_${field} "${${prefix}_${field}}" PARENT_SCOPE)
    endforeach()
endfunction()
function(quelvaro_debian_package package prefix)
    execute_process(COMMAND dpkg-query -W "-f=\${Version}|\${source:Package} \${source:Version}|\${Built-Using}"
        ${package} OUTPUT_VARIABLE fields COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCH "^([^|]*)\\|([^|]*)\\|(.*)$" _ "${fields}")
    set(${prefix}_PACKAGE ${package} PARENT_SCOPE)
    set(${prefix}_VERSION "${CMAKE_MATCH_1}" PARENT_SCOPE)
    set(${prefix}_SOURCE "${CMAKE_MATCH_2}" PARENT_SCOPE)
    string(REGEX REPLACE " \\(= ([^)]+)\\)" " \\1" built_using "${CMAKE_MATCH_3}")
    set(${prefix}_BUILT_USING "${built_using}" PARENT_SCOPE)
endfunction()

# The file bundled under a DLL's name: the first found of the folders imports.cmake searches.
function(quelvaro_bundled_dll name out)
    foreach(dir IN LISTS QUELVARO_DLL_DIRS)
        if(EXISTS ${dir}/${name})
            set(${out} ${dir}/${name} PARENT_SCOPE)
            return()
        endif()
    endforeach()
    message(FATAL_ERROR "${name} is in none of ${QUELVARO_DLL_DIRS}")
endfunction()

# Where a Debian source package of a version can be had, on Debian and from Debian's archive.
function(quelvaro_source_where source out)
    string(REPLACE " " ";" source "${source}")
    list(GET source 0 name)
    list(GET source 1 version)
    string(REPLACE "+" "%2B" escaped ${version})
    string(REPLACE ":" "%3A" escaped ${escaped})
    set(${out} "apt-get source ${name}=${version}, or\n    https://snapshot.debian.org/package/${name}/${escaped}/"
        PARENT_SCOPE)
endfunction()

# The paragraphs of a machine-readable Debian copyright file about the files whose first pattern
# matches a regular expression, with the stand-alone licence paragraphs they name, and the names
# of those licences. A semicolon is kept out of the list's way while the paragraphs are one.
function(quelvaro_copyright_paragraphs file files text_out names_out)
    file(READ ${file} text)
    string(REPLACE ";" "<semicolon>" text "${text}")
    string(REGEX REPLACE "\n([ \t]*\n)+" ";" paragraphs "${text}")
    set(text "")
    set(names "")
    foreach(paragraph IN LISTS paragraphs)
        if(paragraph MATCHES "^Files: (${files})[ \n]")
            string(APPEND text "${paragraph}\n\n")
            string(REGEX MATCH "\nLicense: ([^\n]+)" _ "${paragraph}")
            list(APPEND names "${CMAKE_MATCH_1}")
        endif()
    endforeach()
    if(NOT names)
        message(FATAL_ERROR "no paragraph about ${files} in ${file}")
    endif()
    list(REMOVE_DUPLICATES names)
    foreach(paragraph IN LISTS paragraphs)
        foreach(name IN LISTS names)
            if(paragraph STREQUAL "License: ${name}" OR paragraph MATCHES "^License: ${name}\n")
                string(APPEND text "${paragraph}\n\n")
            endif()
        endforeach()
    endforeach()
    string(REPLACE "<semicolon>" ";" text "${text}")
    list(JOIN names ", " names)
    string(REPLACE "<semicolon>" ";" names "${names}")
    set(${text_out} "${text}" PARENT_SCOPE)
    set(${names_out} "${names}" PARENT_SCOPE)
endfunction()

file(READ ${PROJECT_SOURCE_DIR}/LICENSE _text)
quelvaro_license_text(LICENSE.txt "${_text}")
# Its Spanish text, which the installer's licence page shows. The byte-order mark tells the
# installer, and Notepad before Windows 10 1903, that it is UTF-8.
file(READ ${PROJECT_SOURCE_DIR}/LICENCIA _text)
string(ASCII 239 187 191 _bom)
quelvaro_license_text(LICENCIA.txt "${_bom}${_text}")
file(READ /usr/share/common-licenses/LGPL-3 _text)
quelvaro_license_text(LGPL-3.0.txt "${_text}")
file(READ /usr/share/common-licenses/GPL-3 _text)
quelvaro_license_text(GPL-3.0.txt "${_text}")

# Qt: built by qt.sh, which records the Debian source it built. The scripts that built it and our
# changes to that source go along to rebuild it; the prefix is named by their hash, so they are the
# very ones.
set(_qt_record ${QT6_INSTALL_PREFIX}/.quelvaro-qt-complete)
if(NOT EXISTS ${_qt_record})
    message(FATAL_ERROR "${QT6_INSTALL_PREFIX} is no Qt built by tools/windows/qt.sh: the notices cannot name its source")
endif()
file(STRINGS ${_qt_record} QUELVARO_QT_SOURCE LIMIT_COUNT 1)
set(_qt_scripts ${PROJECT_SOURCE_DIR}/tools/windows/qt.sh ${PROJECT_SOURCE_DIR}/tools/windows/mingw-w64.cmake
    ${PROJECT_SOURCE_DIR}/tools/windows/qt.patch)
set(_scripts_text "")
foreach(script IN LISTS _qt_scripts)
    file(READ ${script} _text)
    string(APPEND _scripts_text "${_text}")
endforeach()
string(SHA256 _key "${_scripts_text}")
string(SUBSTRING ${_key} 0 12 _key)
if(NOT QT6_INSTALL_PREFIX MATCHES "-${_key}$")
    message(FATAL_ERROR "${QT6_INSTALL_PREFIX} was built by another tools/windows/qt.sh than this one (${_key}): run it again")
endif()
file(COPY ${_qt_scripts} DESTINATION ${_licenses}/qt-build)
quelvaro_debian_package(qt6-base-dev _qt_host)
file(READ /usr/share/doc/${_qt_host_PACKAGE}/copyright _text)
quelvaro_license_text(Qt.txt "${_text}")
quelvaro_source_where("${QUELVARO_QT_SOURCE}" _qt_where)
string(CONCAT _notice
    "Qt ${Qt6_VERSION}\n"
    "  Files: Qt6*.dll, platforms\\*, styles\\*\n"
    "  Version: built from Debian's source package ${QUELVARO_QT_SOURCE}\n"
    "  Licence: GNU LGPL 3.0 (LGPL-3.0.txt, with GPL-3.0.txt). The copyright notices\n"
    "    of Qt and of the code it includes are in Qt.txt, Debian's copyright file of\n"
    "    ${_qt_host_SOURCE}.\n"
    "  Source: ${_qt_where}\n"
    "  Built by: qt-build\\qt.sh with qt-build\\mingw-w64.cmake, on Debian with\n"
    "    ${_qt_host_PACKAGE} ${_qt_host_VERSION} installed, whose Qt tools it uses: it\n"
    "    fetches that source with apt-get, applies the changes in qt-build\\qt.patch\n"
    "    (which says what they are and why) and cross-builds it with the MinGW-w64\n"
    "    compiler named below. ${QUELVARO_NAME} loads these DLLs from its folder, where a\n"
    "    rebuilt Qt can replace them.\n")

# The third-party code built into Qt's DLLs and plugins: the attribution files of the source's
# folders whose code the Qt build compiled, as qt.sh recorded them. Each entry names its library,
# version and licence; an entry without a version is a part of the library above it, or code
# taken into Qt's own files.
file(GLOB_RECURSE _attributions ${QT6_INSTALL_PREFIX}/attributions/*/qt_attribution.json)
# Qt Test's code is in no package, and the cmake folder holds the build's own scripts.
list(FILTER _attributions EXCLUDE REGEX "/attributions/(src/testlib|cmake)/")
if(NOT _attributions)
    message(FATAL_ERROR "${QT6_INSTALL_PREFIX} records no third-party code: the notices cannot name it")
endif()
list(SORT _attributions)
set(_bundled "")
set(QUELVARO_QT_BUNDLED "")
foreach(_file IN LISTS _attributions)
    file(READ ${_file} _json)
    string(JSON _type TYPE "${_json}")
    if(_type STREQUAL "OBJECT")
        set(_json "[${_json}]")
    endif()
    string(JSON _count LENGTH "${_json}")
    math(EXPR _last "${_count} - 1")
    foreach(_i RANGE ${_last})
        set(_entry "")
        foreach(_field Name Version LicenseId Path)
            string(JSON _value ERROR_VARIABLE _missing GET "${_json}" ${_i} ${_field})
            if(_missing)
                set(_value "")
            endif()
            set(_entry_${_field} "${_value}")
        endforeach()
        cmake_path(RELATIVE_PATH _file BASE_DIRECTORY ${QT6_INSTALL_PREFIX}/attributions OUTPUT_VARIABLE _folder)
        cmake_path(GET _folder PARENT_PATH _folder)
        if(_entry_Version)
            string(APPEND _bundled "  ${_entry_Name} ${_entry_Version}\n")
            list(APPEND QUELVARO_QT_BUNDLED "${_entry_Name} ${_entry_Version}")
        else()
            string(APPEND _bundled "  ${_entry_Name}\n")
        endif()
        string(APPEND _bundled "    Licence: ${_entry_LicenseId}; in ${_folder}\n")
    endforeach()
endforeach()
string(APPEND _notice "\n"
    "Third-party code inside Qt's DLLs and plugins\n"
    "  Inside: Qt6*.dll, platforms\\*, styles\\*\n"
    "  As the Qt source's attribution files (qt_attribution.json) name them, for each\n"
    "  folder of that source whose code the Qt build compiled. Their copyright\n"
    "  notices and licence texts are in Qt.txt.\n"
    "${_bundled}")

# Qt's translations, where the packaging bundles them.
if(DEFINED _qtbase_qm)
    list(GET _qtbase_qm 0 _qm)
    quelvaro_debian_origin(${_qm} _qm)
    set(_copyright /usr/share/doc/${_qm_PACKAGE}/copyright)
    quelvaro_copyright_paragraphs(${_copyright} "\\*" _ _names)
    file(READ ${_copyright} _text)
    quelvaro_license_text(Qt-translations.txt "${_text}")
    quelvaro_source_where("${_qm_SOURCE}" _qm_where)
    string(APPEND _notice "\n"
        "Qt's translations\n"
        "  Files: translations\\*\n"
        "  Version: Debian package ${_qm_PACKAGE} ${_qm_VERSION}\n"
        "  Licence: ${_names}\n"
        "    (Qt-translations.txt, with GPL-3.0.txt)\n"
        "  Source: ${_qm_where}\n")
endif()

# The GCC runtime: GPL-3.0 with the Runtime Library Exception, whose text Debian's copyright file of
# the compiler holds.
quelvaro_bundled_dll(libstdc++-6.dll _dll)
quelvaro_debian_origin(${_dll} _gcc)
file(READ /usr/share/doc/${_gcc_PACKAGE}/copyright _text)
set(_last "requirements of the license of GCC.\n")
string(FIND "${_text}" "GCC RUNTIME LIBRARY EXCEPTION\n" _start)
string(FIND "${_text}" "${_last}" _end)
if(_start LESS 0 OR _end LESS _start)
    message(FATAL_ERROR "no GCC Runtime Library Exception in /usr/share/doc/${_gcc_PACKAGE}/copyright")
endif()
string(LENGTH "${_last}" _length)
math(EXPR _length "${_end} + ${_length} - ${_start}")
string(SUBSTRING "${_text}" ${_start} ${_length} _text)
quelvaro_license_text(GCC-exception-3.1.txt "${_text}")
quelvaro_source_where("${_gcc_SOURCE}" _gcc_where)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -dumpfullversion OUTPUT_VARIABLE _gcc_dump
    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
string(APPEND _notice "\n"
    "GCC runtime libraries\n"
    "  Files: libstdc++-6.dll, libgcc_s_seh-1.dll\n"
    "  Version: Debian package ${_gcc_PACKAGE}\n"
    "    ${_gcc_VERSION}, of the compiler (GCC ${_gcc_dump}) that built\n"
    "    ${QUELVARO_NAME} and Qt\n"
    "  Licence: GNU GPL 3.0 with the GCC Runtime Library Exception 3.1 (GPL-3.0.txt,\n"
    "    GCC-exception-3.1.txt)\n"
    "  Source: ${_gcc_where}\n"
    "    with the GCC source of ${_gcc_BUILT_USING}\n")

# winpthreads: the paragraphs of Debian's mingw-w64 copyright file about its library (not its
# tests), and the licences they name.
quelvaro_bundled_dll(libwinpthread-1.dll _dll)
quelvaro_debian_origin(${_dll} _pthreads)
quelvaro_copyright_paragraphs(/usr/share/doc/${_pthreads_PACKAGE}/copyright
    "mingw-w64-libraries/winpthreads/(\\*|include/|src/)[^ \n]*" _text _names)
quelvaro_license_text(winpthreads.txt "${_text}")
quelvaro_source_where("${_pthreads_SOURCE}" _pthreads_where)
string(APPEND _notice "\n"
    "winpthreads\n"
    "  Files: libwinpthread-1.dll\n"
    "  Version: Debian package ${_pthreads_PACKAGE} ${_pthreads_VERSION}\n"
    "  Licence: ${_names}\n"
    "    (winpthreads.txt)\n"
    "  Source: ${_pthreads_where}\n")

string(CONCAT _notice
    "${QUELVARO_NAME} ${QUELVARO_RELEASE} for Windows: third-party components\n\n"
    "${QUELVARO_NAME} itself (quelvaro.exe) is under LICENSE.txt (in Spanish, LICENCIA.txt).\n"
    "Beside it are these components, each under its own licence, whose texts are in this\n"
    "folder.\n\n"
    "${_notice}")
quelvaro_license_text(THIRD-PARTY-NOTICES.txt "${_notice}")

install(DIRECTORY ${_licenses}/ DESTINATION licenses)
set(CPACK_RESOURCE_FILE_LICENSE ${_licenses}/LICENCIA.txt)

# What the notice names, for the tests to look for in the packages.
set(_versions "${QUELVARO_QT_SOURCE}" "${_gcc_PACKAGE} ${_gcc_VERSION}" "${_pthreads_PACKAGE} ${_pthreads_VERSION}"
    ${QUELVARO_QT_BUNDLED})
if(DEFINED _qtbase_qm)
    list(APPEND _versions "${_qm_PACKAGE} ${_qm_VERSION}")
endif()
set(QUELVARO_NOTICE_VERSIONS "${_versions}" PARENT_SCOPE)
