#include "MissingFilesModel.h"

MissingFilesModel::MissingFilesModel(std::shared_ptr<MissingRecords> records, QObject *parent)
    : QAbstractListModel(parent)
    , m_records(std::move(records))
{
}

int MissingFilesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_records->size();
}

QVariant MissingFilesModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    return m_records->path(index.row());
}

void MissingFilesModel::removeRecords(const std::vector<int> &ascendingPositions)
{
    if (ascendingPositions.empty())
        return;
    beginResetModel();
    m_records->removeAt(ascendingPositions);
    endResetModel();
}
