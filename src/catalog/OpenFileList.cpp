#include "OpenFileList.h"

#include "Catalog.h"
#include "CatalogFileFormat.h"
#include "CatalogFileReader.h"
#include "FileRecord.h"
#include "TextEncoding.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
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

bool isAscii(QByteArrayView bytes)
{
    const char *p = bytes.data();
    const char *end = p + bytes.size();
    for (; end - p >= 8; p += 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        if (word & 0x8080808080808080ULL)
            return false;
    }
    for (; p < end; ++p) {
        if (static_cast<unsigned char>(*p) >= 0x80)
            return false;
    }
    return true;
}

// The record built straight from the file's bytes in one allocation: a million of
// them are loaded at a time, and nearly all are plain ASCII.
QString recordFromBytes(QByteArrayView path, int index, QByteArrayView keywords, qsizetype &pathLength)
{
    if (!isAscii(path) || !isAscii(keywords)) {
        const QString decodedPath = decodeCatalogText(path.data(), path.size());
        pathLength = decodedPath.size();
        return MakeFileRecord(decodedPath, index, decodeCatalogText(keywords.data(), keywords.size()));
    }
    char digits[8];
    char *digitsEnd = digits + sizeof digits;
    char *digitsStart = digitsEnd;
    for (int rest = index < 0 ? -index : index; digitsStart == digitsEnd || rest > 0; rest /= 10)
        *--digitsStart = char('0' + rest % 10);
    if (index < 0)
        *--digitsStart = '-';

    QString record;
    record.reserve(path.size() + (digitsEnd - digitsStart) + 2 + keywords.size());
    record.append(QLatin1String(path.data(), path.size()))
        .append(QLatin1Char('/'))
        .append(QLatin1String(digitsStart, digitsEnd - digitsStart))
        .append(QLatin1Char('>'))
        .append(QLatin1String(keywords.data(), keywords.size()));
    pathLength = path.size();
    return record;
}

bool holdsFormatBreak(QByteArrayView path)
{
    for (const char c : path) {
        if (c == '"' || c == '\r' || c == '\n')
            return true;
    }
    return false;
}

// "/" and ">" in keywords would make the record's last separators fall inside them,
// and the record would name another path and category than the file said.
bool needsKeywordMend(QByteArrayView keywords)
{
    return keywords.contains('/') || keywords.contains('>');
}

QByteArray mendedKeywords(QByteArrayView keywords)
{
    QByteArray mended(keywords.data(), keywords.size());
    mended.replace('/', ' ').replace('>', ' ');
    return mended;
}

// Editors often start a UTF-8 file with a byte-order mark; it is no part of the count.
QByteArrayView withoutByteOrderMark(QByteArrayView bytes)
{
    if (bytes.startsWith(QByteArrayView("\xEF\xBB\xBF", 3)))
        return bytes.sliced(3);
    return bytes;
}

} // namespace

bool fileExistsOnDisk(const QString &path)
{
    // A folder at the path is no catalogued file any more. One plain stat: a load
    // asks this a million times, and QFileInfo's bookkeeping costs more than the call.
#ifdef Q_OS_UNIX
    struct stat status {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &status) == 0 && !S_ISDIR(status.st_mode);
#else
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
#endif
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
    CatalogFileReader reader(withoutByteOrderMark(bytes));
    std::vector<CategoryLine> categories;
    RecordList &records = catalog.records();
    const bool hadRecords = !records.isEmpty();
    bool treeBuilt = false;
    auto buildTreeOnce = [&] {
        if (!treeBuilt)
            buildTree(categories, catalog.tree());
        treeBuilt = true;
    };
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
        // The categories come first in the file, so each record can be filed under
        // its category's new index as it is read, instead of in a second pass.
        buildTreeOnce();
        const Catalog::TagMap tags(catalog.tree());
        QByteArrayView path;
        QByteArrayView keywords;
        int index = 0;
        while (!reader.atEnd()) {
            if (!reader.readTextBytes(path) || !reader.readNumber(index) || !reader.readTextBytes(keywords))
                return false;
            if (path.isEmpty())
                continue;
            if (holdsFormatBreak(path)) {
                report.unholdablePaths.append(decodeCatalogText(path.data(), path.size()));
                continue;
            }
            QByteArray mended;
            if (needsKeywordMend(keywords)) {
                mended = mendedKeywords(keywords);
                keywords = QByteArrayView(mended);
                ++report.keywordsMended;
            }
            const int filedUnder = tags.newIndexFor(index);
            if (filedUnder != 0)
                index = filedUnder;
            qsizetype pathLength = 0;
            QString record = recordFromBytes(path, index, keywords, pathLength);
            // The path is the record's head: check it without copying it out.
            if (!exists(QString::fromRawData(record.constData(), pathLength))) {
                report.missingFiles.append(record.left(pathLength));
                continue;
            }
            records.append(std::move(record), index);
        }
        return true;
    };

    if (!readAll() && !report.stop)
        report.stop = CatalogReadStop{reader.line(), reader.error()};

    // Whatever was read is kept consistent: the tree is built from the category
    // lines read and the records read follow them, even after a stop.
    buildTreeOnce();
    if (hadRecords)
        catalog.ChangecategoryIndexForFiles();
    catalog.findTemporary();
    catalog.markSaved();
    return report;
}
