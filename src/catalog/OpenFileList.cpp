#include "OpenFileList.h"

#include "Catalog.h"
#include "CatalogFileFormat.h"
#include "CatalogFileReader.h"
#include "FileRecord.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <vector>

namespace {

struct CategoryLine {
    QString name;
    QString pathPart;
    int storedIndex = 0;
};

void buildTree(const std::vector<CategoryLine> &lines, CategoryTree &tree)
{
    QHash<QString, int> lastIndexByName; // nodes are only added here, so the latest wins
    for (const CategoryLine &line : lines) {
        if (line.name.isEmpty())
            continue;
        const qsizetype separators = line.pathPart.count(QLatin1Char('\\'));
        int created = 0;
        if (separators == 0) {
            created = tree.addRoot(line.name);
        } else if (separators == 1) {
            const QString parentName = line.pathPart.section(QLatin1Char('\\'), 0, 0);
            const int parent = lastIndexByName.value(parentName, 0);
            if (parent == 0)
                continue; // no such category built before it: nowhere to attach it
            created = tree.addChild(parent, line.name);
        } else {
            continue;
        }
        tree.node(created)->tag = line.storedIndex;
        lastIndexByName.insert(line.name, created);
    }
}

} // namespace

bool fileExistsOnDisk(const QString &path)
{
    return QFileInfo::exists(path);
}

CatalogLoadReport OpenFileList(const QString &path, Catalog &catalog, const FileExistsCheck &exists)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        CatalogLoadReport report;
        report.stop = CatalogReadStop{0, file.errorString()};
        return report;
    }
    // Mapping keeps a large catalog out of the heap; fall back to reading it.
    if (const qint64 size = file.size(); size > 0) {
        if (uchar *mapped = file.map(0, size))
            return OpenFileList(QByteArrayView(reinterpret_cast<const char *>(mapped), size), catalog, exists);
    }
    const QByteArray bytes = file.readAll();
    return OpenFileList(QByteArrayView(bytes), catalog, exists);
}

CatalogLoadReport OpenFileList(QByteArrayView bytes, Catalog &catalog, const FileExistsCheck &exists)
{
    CatalogLoadReport report;
    report.opened = true;
    CatalogFileReader reader(bytes);
    std::vector<CategoryLine> categories;
    RecordList &records = catalog.records();
    records.reserve(records.size() + int(qMin<qsizetype>(bytes.size() / 48, 1 << 24))); // a guess at the line count

    auto readAll = [&]() -> bool {
        int count = 0;
        if (!reader.readNumber(count))
            return false;
        for (int k = 1; k <= count; ++k) {
            if (k > CatalogFileFormat::kMaxCategories) {
                report.stop = CatalogReadStop{reader.nextItemLine(),
                    QStringLiteral("the file holds more than %1 categories").arg(CatalogFileFormat::kMaxCategories)};
                return false;
            }
            CategoryLine line;
            if (!reader.readText(line.name) || !reader.readText(line.pathPart) || !reader.readNumber(line.storedIndex))
                return false;
            categories.push_back(std::move(line));
        }
        QString path;
        QString keywords;
        int index = 0;
        while (!reader.atEnd()) {
            if (!reader.readText(path) || !reader.readNumber(index) || !reader.readText(keywords))
                return false;
            if (path.isEmpty())
                continue;
            if (!exists(path)) {
                report.missingFiles.append(path);
                continue;
            }
            records.append(MakeFileRecord(path, index, keywords), index);
        }
        return true;
    };

    if (!readAll() && !report.stop)
        report.stop = CatalogReadStop{reader.line(), reader.error()};

    // Whatever was read is kept consistent: the tree is built from the category
    // lines read and the records read follow them, even after a stop.
    buildTree(categories, catalog.tree());
    catalog.ChangecategoryIndexForFiles();
    catalog.findTemporary();
    catalog.markSaved();
    return report;
}
