#pragma once

#include "runtime/fontsource.h"

#include <QMargins>
#include <QString>

#include <memory>

// What the program takes from the platform it runs on; each platform's answers are in a file of
// its own.

// The font names this platform offers the program, in the order the platform reports them.
std::unique_ptr<FontSource> systemFonts();

// Called before the application exists: where the desktop honours the program's windows better
// through another of Qt's platforms than the one Qt would take, asks Qt for it. A platform the user
// names is the one used.
void choosePlatform();

class QApplication;
// Called once the application exists: keeps the windows as their flags ask, where the platform
// plugin alone lets them be changed otherwise, and the terminal clear of the plugin's warnings of
// what is no fault.
void keepWindowsAsAsked(QApplication &app);

// The widget style the forms are drawn in.
void setPlatformStyle();

class QStyle;
// The style the entries of a drop-down list are drawn in, where the forms' style would not draw them
// as the platform's own list does; none where it does.
QStyle *listEntryStyle();

// Makes the application's font, which controls without a font of their own are drawn in, name an
// installed face, and one found without ranking every installed family.
void nameInterfaceFace();

// The folder of Qt's translations of its own words (a text box's context menu, its dialogs' buttons).
QString qtTranslationsFolder();

class QWidget;
// The frame the window manager will draw around a window, in the window's logical pixels, asked
// before the window is first shown so that it can be centred frame included; none where the
// platform cannot tell. Where the window manager tells only once it has framed the window, the
// window centred as if it had none is moved then, once, as far as that frame shifts its centre,
// and kept transparent for the short while until then.
QMargins frameBeforeShow(QWidget *window);

// Asks the window manager for no title bar or border on a window without a frame, where the
// platform needs more for that than the window's flags; before the window is first shown.
void askForNoDecorations(QWidget *window);

// Raises a window and gives it the keyboard, in answer to what the user has just done to another
// of the program's windows.
void handActivationTo(QWidget *window);

// Called as the event loop returns: where the platform's own teardown can hang, an end that has not
// finished within a few seconds is cut short, with this status.
void boundTheEnd(int status);
