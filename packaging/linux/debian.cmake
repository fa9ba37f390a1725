# The documents a Debian package carries: the manual page, a changelog made from NEWS, and a
# machine-readable copyright file with the LICENSE and the Debian source packages of the libraries
# the program is built against. Also the metainfo's releases, from NEWS.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/NEWS)

# NEWS lists the releases newest first, each a line "Quelvaro 1.1, 2026-12-07" and then its changes
# as "* " items. In the changelog every line of theirs is indented, and each heading becomes an
# entry's first line, with the one before closed by its signature.
file(READ ${PROJECT_SOURCE_DIR}/NEWS _changelog)
string(REGEX MATCHALL "(^|\n)${QUELVARO_NAME} [0-9.]+, [0-9]+-[0-9]+-[0-9]+\n" _headings "${_changelog}")
string(REGEX REPLACE "\n([^\n])" "\n  \\1" _changelog "\n${_changelog}")
set(_signature "")
set(_releases "")
foreach(heading IN LISTS _headings)
    string(STRIP "${heading}" heading)
    string(REGEX MATCH " ([0-9.]+), ([0-9-]+)$" _ "${heading}")
    set(_version ${CMAKE_MATCH_1})
    set(_date ${CMAKE_MATCH_2})
    if(NOT QUELVARO_RELEASE_DATE)
        if(NOT _version STREQUAL QUELVARO_RELEASE)
            message(FATAL_ERROR "NEWS begins with ${_version}, not with this release, ${QUELVARO_RELEASE}")
        endif()
        set(QUELVARO_RELEASE_DATE ${_date})
    endif()
    execute_process(COMMAND date -u -R -d ${_date} OUTPUT_VARIABLE _when OUTPUT_STRIP_TRAILING_WHITESPACE
        COMMAND_ERROR_IS_FATAL ANY)
    set(_entry "${PROJECT_NAME} (${_version}) unstable; urgency=medium\n")
    if(_signature)
        set(_entry "${_signature}\n\n${_entry}")
    endif()
    string(REPLACE "\n  ${heading}\n" "\n${_entry}" _changelog "${_changelog}")
    set(_signature " -- ${QUELVARO_MAKER} <${QUELVARO_CONTACT}>  ${_when}")
    list(APPEND _releases "<release version=\"${_version}\" date=\"${_date}\"/>")
endforeach()
if(NOT QUELVARO_RELEASE_DATE)
    message(FATAL_ERROR "NEWS names no release")
endif()
list(JOIN _releases "\n    " QUELVARO_RELEASES)
string(STRIP "${_changelog}" _changelog)
string(APPEND _changelog "\n\n${_signature}\n")
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/linux/changelog "${_changelog}")

configure_file(linux/quelvaro.1.in linux/quelvaro.1 @ONLY)

# The copyright file: the LICENSE as a DEP-5 licence text (each line indented, empty lines a
# full stop), and the source packages of the libraries the program links.
string(REGEX REPLACE "^Copyright (\\(C\\) )?" "" QUELVARO_COPYRIGHT_HOLDER "${QUELVARO_COPYRIGHT}")
file(READ ${PROJECT_SOURCE_DIR}/LICENSE QUELVARO_LICENSE_TEXT)
string(STRIP "${QUELVARO_LICENSE_TEXT}" QUELVARO_LICENSE_TEXT)
string(REPLACE "\n" "\n " QUELVARO_LICENSE_TEXT " ${QUELVARO_LICENSE_TEXT}")
string(REGEX REPLACE "\n \n" "\n .\n" QUELVARO_LICENSE_TEXT "${QUELVARO_LICENSE_TEXT}")
string(REGEX REPLACE "\n \n" "\n .\n" QUELVARO_LICENSE_TEXT "${QUELVARO_LICENSE_TEXT}")

set(_linked "")
foreach(library Qt6::Core Qt6::Gui Qt6::Widgets)
    get_target_property(_location ${library} LOCATION)
    list(APPEND _linked ${_location})
endforeach()
list(APPEND _linked ${Fontconfig_LIBRARIES} ${XCB_LINK_LIBRARIES})
foreach(runtime libstdc++.so libgcc_s.so libc.so)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
        OUTPUT_VARIABLE _location OUTPUT_STRIP_TRAILING_WHITESPACE)
    file(REAL_PATH ${_location} _location)
    list(APPEND _linked ${_location})
endforeach()
set(_sources "")
foreach(file IN LISTS _linked)
    execute_process(COMMAND dpkg-query -S ${file} OUTPUT_VARIABLE _owner RESULT_VARIABLE _rc ERROR_QUIET)
    if(NOT _rc EQUAL 0)
        message(FATAL_ERROR "no Debian package installed ${file}: the copyright file cannot name it")
    endif()
    string(REGEX MATCH "^[^:,]+" _package "${_owner}")
    execute_process(COMMAND dpkg-query -W "-f=\${source:Package} \${source:Version}" ${_package}
        OUTPUT_VARIABLE _source COMMAND_ERROR_IS_FATAL ANY)
    list(APPEND _sources " ${_source}")
endforeach()
list(REMOVE_DUPLICATES _sources)
list(SORT _sources)
list(JOIN _sources "\n" QUELVARO_BUILT_FROM)
configure_file(linux/copyright.in linux/copyright @ONLY)

foreach(document changelog quelvaro.1)
    execute_process(COMMAND gzip -9nc INPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/linux/${document}
        OUTPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/linux/${document}.gz COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/linux/copyright ${CMAKE_CURRENT_BINARY_DIR}/linux/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/linux/quelvaro.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
