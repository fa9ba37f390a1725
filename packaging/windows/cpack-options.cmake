# Read by cpack for each package it makes.
if(CPACK_GENERATOR STREQUAL "ZIP")
    # One folder in the zip, so that "Extraer aquí" makes one folder and not fifty files.
    set(CPACK_PACKAGING_INSTALL_PREFIX "/${CPACK_QUELVARO_ZIP_FOLDER}")
elseif(CPACK_GENERATOR STREQUAL "NSIS")
    # The installer is named apart from the portable zip.
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
endif()
