# Read by cpack for each package it makes.
if(CPACK_GENERATOR STREQUAL "ZIP")
    # One folder in the zip, so that "Extraer aquí" makes one folder and not fifty files.
    set(CPACK_PACKAGING_INSTALL_PREFIX "/${CPACK_QUELVARO_ZIP_FOLDER}")
elseif(CPACK_GENERATOR STREQUAL "NSIS")
    # The installer is named apart from the portable zip.
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
    # With a certificate given, makensis signs the uninstaller it writes into the installer and
    # then the installer itself; the program and its DLLs are signed as they are installed.
    if(NOT "$ENV{QUELVARO_SIGN_PKCS12}" STREQUAL "")
        set(_sign "\"${CPACK_QUELVARO_SIGN_SCRIPT}\" \"${CPACK_NSIS_PACKAGE_NAME}\" \"${CPACK_NSIS_URL_INFO_ABOUT}\" \"%1\"")
        # The command stands in single quotes in the script.
        string(REPLACE "'" "" _sign "${_sign}")
        set(CPACK_QUELVARO_SIGN_CODE "  !uninstfinalize '${_sign}' = 0\n  !finalize '${_sign}' = 0")
    endif()
endif()
