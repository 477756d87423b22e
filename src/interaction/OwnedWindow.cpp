#include "OwnedWindow.h"

#include <QScreen>
#include <QWidget>

namespace OwnedWindow {

QPoint placeOver(const QSize &frame, const QRect &owner, const QRect &screen)
{
    QPoint at = owner.center() - QPoint(frame.width() / 2, frame.height() / 2);
    at.setX(qMax(screen.left(), qMin(at.x(), screen.right() + 1 - frame.width())));
    at.setY(qMax(screen.top(), qMin(at.y(), screen.bottom() + 1 - frame.height())));
    return at;
}

void showOver(QWidget *window)
{
    const QWidget *owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    // Once shown, a window stays where the user put it.
    if (owner && !window->isVisible() && !window->testAttribute(Qt::WA_Moved)) {
        // The size show() would give it, unless it was given one.
        window->ensurePolished();
        if (!window->testAttribute(Qt::WA_Resized))
            window->adjustSize();
        // The owner's decorations stand in for the window's own, which it has not got yet.
        const QRect ownerFrame = owner->frameGeometry();
        const QSize decorations = ownerFrame.size() - owner->geometry().size();
        const QScreen *screen = owner->screen();
        const QPoint frameAt = placeOver(window->size() + decorations, ownerFrame,
                                         screen ? screen->availableGeometry() : ownerFrame);
        window->move(frameAt);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace OwnedWindow
