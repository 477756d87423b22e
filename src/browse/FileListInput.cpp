#include "FileListInput.h"

#include <QAbstractItemView>
#include <QKeyEvent>

#include <algorithm>

namespace FileListInput {

KeyAction actionForKey(const QKeyEvent &event)
{
    if (event.key() == Qt::Key_Delete)
        return KeyAction::Remove;
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter)
        return KeyAction::Properties;
    const bool shiftF10 = event.key() == Qt::Key_F10 && event.modifiers() == Qt::ShiftModifier;
    if (event.key() == Qt::Key_Menu || shiftF10)
        return KeyAction::ContextMenu;
    return KeyAction::None;
}

void selectOnlyRowAt(QAbstractItemView &view, const QPoint &viewportPos)
{
    QItemSelectionModel *selection = view.selectionModel();
    if (!selection)
        return;
    const QModelIndex under = view.indexAt(viewportPos);
    if (!under.isValid()) {
        selection->clear();
        return;
    }
    selection->setCurrentIndex(under, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QPoint prepareMenuAtCurrentRow(QAbstractItemView &view)
{
    const QModelIndex current = view.currentIndex();
    QPoint at(0, 0);
    if (current.isValid() && view.selectionModel()) {
        if (!view.selectionModel()->isRowSelected(current.row(), current.parent()))
            view.selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        view.scrollTo(current);
        const QRect row = view.visualRect(current.siblingAtColumn(0));
        at = QPoint(row.left() + std::min(row.height(), row.width() / 2), row.bottom());
    }
    return view.viewport()->mapToGlobal(at);
}

} // namespace FileListInput
