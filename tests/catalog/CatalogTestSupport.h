#pragma once

#include "Catalog.h"
#include "CatalogFileWriter.h"
#include "FileRecord.h"
#include "OpenFileList.h"

#include <QBuffer>
#include <QStringList>

// Helpers shared by the tests of the catalog and of what edits it without a window.
namespace CatalogTest {

inline const FileExistsCheck kAllExist = [](QByteArrayView) { return true; };

// Appends the records and takes the catalog as saved.
inline void fill(Catalog &catalog, const QStringList &records)
{
    for (const QString &record : records)
        catalog.records().append(record);
    catalog.markSaved();
}

// The records in order. A record whose cached category index is not what its own text
// says is shown as "drifted: <record>", so every comparison also guards the cache.
inline QStringList recordsOf(const Catalog &catalog)
{
    QStringList list;
    for (int i = 0; i < catalog.records().size(); ++i) {
        const QString &record = catalog.records().at(i);
        const bool cached = catalog.records().categoryAt(i) == ParseFileRecord(record).categoryIndex;
        list.append(cached ? record : QStringLiteral("drifted: ") + record);
    }
    return list;
}

// The missing records a load kept aside, each as "path/category>keywords@loaded before".
inline QStringList missingOf(const Catalog &catalog)
{
    QStringList list;
    const MissingRecords &missing = *catalog.missingRecords();
    for (int i = 0; i < missing.size(); ++i) {
        const MissingRecords::Record record = missing.at(i);
        list.append(MakeFileRecord(record.path, record.category, record.keywords) + QLatin1Char('@')
                    + QString::number(record.loadedBefore));
    }
    return list;
}

// Each node as "parent index:name", 0 for a top-level node.
inline QStringList shape(const Catalog &catalog)
{
    QStringList list;
    for (int i = 1; i <= catalog.tree().nodeCount(); ++i) {
        const CategoryNode *node = catalog.tree().node(i);
        list.append(QString::number(node->parent ? node->parent->index : 0) + QLatin1Char(':') + node->name);
    }
    return list;
}

// The bytes a save writes, without the system category.
inline QByteArray written(Catalog &catalog)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const auto error = CatalogFileWriter(catalog, catalog.findTemporary()).write(buffer);
    return error ? QByteArray("error") : buffer.data();
}

} // namespace CatalogTest
