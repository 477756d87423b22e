#pragma once

#include "MissingRecords.h"

#include <QAbstractListModel>

#include <memory>

// The paths of a load's missing records, for the Missing Files window, read from the
// records themselves: a list of millions costs no copy.
class MissingFilesModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit MissingFilesModel(std::shared_ptr<MissingRecords> records, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    const std::shared_ptr<MissingRecords> &records() const { return m_records; }
    // Takes out the records at these positions (ascending): their files were found.
    void removeRecords(const std::vector<int> &ascendingPositions);

private:
    std::shared_ptr<MissingRecords> m_records;
};
