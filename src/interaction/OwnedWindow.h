#pragma once

#include <QPoint>
#include <QRect>

class QWidget;

// The windows that belong to the main window are top-level windows with it as their
// parent, so that the window manager keeps them above it. They are made dialogs
// (Qt::Dialog, not modal): X11 tells the window manager whose a window is only for
// dialogs. They open over the main window and wholly on its screen, never wherever
// the window manager happens to put them.
namespace OwnedWindow {

// Where a window of size frame opens: centred over owner, then moved inside screen
// (its top left corner first, when it is larger than the screen).
QPoint placeOver(const QSize &frame, const QRect &owner, const QRect &screen);

// Shows window, the first time over its parent window, then raises and activates it.
void showOver(QWidget *window);

} // namespace OwnedWindow
