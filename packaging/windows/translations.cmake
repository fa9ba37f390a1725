# Qt's translations of its own words (a text box's context menu, its dialogs' buttons), every
# language of qtbase, in the folder beside the program where it looks for them. Qt's translations
# are not part of qtbase: they come from the host's Qt of the same version (Debian's
# qt6-translations-l10n), the one whose tools built the program.
set(_qt_translations ${QT_HOST_PATH}/share/qt6/translations)
file(GLOB _qtbase_qm ${_qt_translations}/qtbase_*.qm)
if(NOT _qtbase_qm)
    message(FATAL_ERROR "no qtbase translations in ${_qt_translations} (Debian package: qt6-translations-l10n)")
endif()
install(FILES ${_qtbase_qm} DESTINATION translations)
