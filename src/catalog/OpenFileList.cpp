#include "OpenFileList.h"

#include "Catalog.h"
#include "CatalogFileFormat.h"
#include "CatalogFileReader.h"
#include "CategoryLines.h"
#include "FileAccess.h"
#include "FileRecord.h"
#include "TextEncoding.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <thread>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#include <vector>

namespace {

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
// and the record would name another path and category than the file said; a double
// quote or a line break could not be written back. All read as spaces.
bool isKeywordBreak(char c)
{
    return c == '/' || c == '>' || c == '"' || c == '\r' || c == '\n';
}

bool needsKeywordMend(QByteArrayView keywords)
{
    return std::any_of(keywords.begin(), keywords.end(), isKeywordBreak);
}

QByteArray mendedKeywords(QByteArrayView keywords)
{
    QByteArray mended(keywords.data(), keywords.size());
    std::replace_if(mended.begin(), mended.end(), isKeywordBreak, ' ');
    return mended;
}

// Editors often start a UTF-8 file with a byte-order mark; it is no part of the count.
QByteArrayView withoutByteOrderMark(QByteArrayView bytes)
{
    if (bytes.startsWith(QByteArrayView("\xEF\xBB\xBF", 3)))
        return bytes.sliced(3);
    return bytes;
}

// Told of parsed bytes that will not be looked at again.
using GiveBack = std::function<void(const char *from, const char *to)>;

// A record read from the file whose file has not been looked for yet.
struct PendingRecord {
    QString record;
    qsizetype pathLength = 0; // the path is the record's head
    int storedIndex = 0;
    std::optional<int> filedUnder;
};

// Looking for a million files is most of a load: the disk answers two threads at
// once about as fast as it answers one, so a batch is checked half on a helper.
constexpr int kRecordsPerBatch = 16384;
constexpr std::size_t kRecordsWorthAHelper = 2048;

void checkExistence(const std::vector<PendingRecord> &batch, const FileExistsCheck &exists, std::vector<char> &found)
{
    found.assign(batch.size(), 0);
    auto check = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i)
            found[i] = exists(QString::fromRawData(batch[i].record.constData(), batch[i].pathLength));
    };
    if (batch.size() < kRecordsWorthAHelper) {
        check(0, batch.size());
        return;
    }
    const std::size_t half = batch.size() / 2;
    std::thread helper(check, half, batch.size());
    check(0, half);
    helper.join();
}

CatalogLoadReport loadFromBytes(QByteArrayView bytes, Catalog &catalog, const FileExistsCheck &exists,
                                const GiveBack &giveBack);

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
    // Read whole before parsing: a file that changes underneath then gives a read
    // error instead of pulling the bytes away from under the parser.
    const FileAccess::ReadResult file = FileAccess::readRegularFile(path, CatalogFileFormat::kMaxFileSize);
    if (!file.opened) {
        CatalogLoadReport report;
        report.stop = CatalogReadStop{0, file.error->text()};
        return report;
    }
    const int linesRead = file.error ? 1 + int(file.bytes.count('\n')) : 0;
    // A big catalog would otherwise be held twice at the end of the load: as the
    // file's bytes and as the records made of them.
    CatalogLoadReport report = loadFromBytes(QByteArrayView(file.bytes), catalog, exists, FileAccess::releaseReadBytes);
    if (file.error)
        report.stop = CatalogReadStop{report.stop ? report.stop->line : linesRead, file.error->text()};
    return report;
}

CatalogLoadReport OpenFileList(QByteArrayView bytes, Catalog &catalog, const FileExistsCheck &exists)
{
    return loadFromBytes(bytes, catalog, exists, {});
}

namespace {

CatalogLoadReport loadFromBytes(QByteArrayView bytes, Catalog &catalog, const FileExistsCheck &exists,
                                const GiveBack &giveBack)
{
    CatalogLoadReport report;
    report.opened = true;
    CatalogFileReader reader(withoutByteOrderMark(bytes));
    std::vector<CategoryLine> categories;
    RecordList &records = catalog.records();
    const bool hadRecords = !records.isEmpty();
    CategoryLines lines(catalog.tree(), report);
    bool treeBuilt = false;
    auto buildTreeOnce = [&] {
        if (!treeBuilt)
            lines.buildTree(categories);
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
            if (CategoryLines::mendName(line.name))
                ++report.categoryNamesMended;
            CategoryLines::mendPathPart(line.pathPart);
            categories.push_back(std::move(line));
        }
        // The categories come first in the file, so each record can be filed under
        // its category's new index as it is read, instead of in a second pass.
        buildTreeOnce();
        QByteArrayView path;
        QByteArrayView keywords;
        int index = 0;
        const char *givenBackUpTo = bytes.data();
        std::vector<PendingRecord> batch;
        std::vector<char> found;
        // Records are filed in the file's order once a batch's files are checked.
        auto fileBatch = [&] {
            checkExistence(batch, exists, found);
            for (std::size_t i = 0; i < batch.size(); ++i) {
                PendingRecord &pending = batch[i];
                if (!found[i]) {
                    report.missingFiles.append(pending.record.left(pending.pathLength));
                    continue;
                }
                int filedIndex = 0;
                if (pending.filedUnder) {
                    filedIndex = *pending.filedUnder;
                } else {
                    filedIndex = lines.mendedIndexFor(pending.storedIndex);
                    pending.record = SetRecordCategory(pending.record, filedIndex);
                }
                records.append(std::move(pending.record), filedIndex);
            }
            batch.clear();
            if (giveBack) {
                const char *settled = reader.settle();
                giveBack(givenBackUpTo, settled);
                givenBackUpTo = settled;
            }
        };
        batch.reserve(kRecordsPerBatch);
        while (!reader.atEnd()) {
            if (!reader.readTextBytes(path) || !reader.readNumber(index) || !reader.readTextBytes(keywords)) {
                fileBatch();
                return false;
            }
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
            PendingRecord pending;
            pending.storedIndex = index;
            pending.filedUnder = lines.nodeFor(index);
            pending.record = recordFromBytes(path, pending.filedUnder.value_or(index), keywords, pending.pathLength);
            batch.push_back(std::move(pending));
            if (int(batch.size()) == kRecordsPerBatch)
                fileBatch();
        }
        fileBatch();
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

} // namespace
