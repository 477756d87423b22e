#pragma once

#include <QPoint>

class QAbstractItemView;
class QKeyEvent;

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

} // namespace FileListInput
