#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

class Catalog;
class FileListModel;
namespace Interaction {
class Interface;
}

// What the user does to the listed files: take them out of the catalog, refile them
// by a drop on a category, give them keywords. Rows and records change together.
class FileListCommands : public QObject
{
    Q_OBJECT

public:
    FileListCommands(Catalog &catalog, FileListModel &files, Interaction::Interface &interaction,
                     QObject *parent = nullptr);

    // Remove Item: asks first, by name for a single row.
    void RemoveItem(const QList<int> &selectedRows, int currentRow);
    // A drop on the category tree: targetCategory 0 means none was selected.
    void MoveDroppedFiles(const QStringList &paths, int targetCategory, const QList<int> &selectedRows);
    // Update Keywords: the text goes to every selected row and its records.
    void UpdateKeywords(const QList<int> &selectedRows, const QString &keywords);

private:
    QStringList pathsOf(const QList<int> &rows) const;

    Catalog &m_catalog;
    FileListModel &m_files;
    Interaction::Interface &m_interaction;
};
