#pragma once

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPoint>

// What the file list does on mouse and keyboard input, the same in the report view and
// in the thumbnail grid: the views pass the window's part on as signals.
namespace FileListInput {

enum class KeyAction { None, Remove, Properties, ContextMenu };

// Delete (whatever the modifiers: the keypad's and Shift+Delete too) removes items,
// Enter opens Properties, the Menu key and Shift+F10 open the context menu.
KeyAction actionForKey(const QKeyEvent &event);

// A right click: the row under the pointer becomes the only selected and current row;
// beside the rows, nothing is selected and none is current.
void selectOnlyRowAt(QAbstractItemView &view, const QPoint &viewportPos);

// The keyboard's way to the context menu: it acts on the current row, which becomes
// the selection when it is not part of it. Gives where the menu opens, beside that row.
QPoint prepareMenuAtCurrentRow(QAbstractItemView &view);

// The views' own part, for a view with the file list's signals: the keys above, and a
// right click that selects the row under the pointer and asks for the menu. False for
// any other input, which the view handles as its base class does.
template<typename View>
bool takeKey(View &view, QKeyEvent &event)
{
    switch (actionForKey(event)) {
    case KeyAction::Remove:
        Q_EMIT view.removeRequested();
        break;
    case KeyAction::Properties:
        Q_EMIT view.propertiesRequested();
        break;
    case KeyAction::ContextMenu: {
        const QPoint at = prepareMenuAtCurrentRow(view);
        Q_EMIT view.fillLabelsRequested();
        Q_EMIT view.contextMenuRequested(at);
        break;
    }
    case KeyAction::None:
        return false;
    }
    event.accept();
    return true;
}

template<typename View>
bool takeRightClick(View &view, QMouseEvent &event)
{
    if (event.button() != Qt::RightButton)
        return false;
    selectOnlyRowAt(view, event.position().toPoint());
    Q_EMIT view.fillLabelsRequested();
    Q_EMIT view.contextMenuRequested(event.globalPosition().toPoint());
    event.accept();
    return true;
}

} // namespace FileListInput
