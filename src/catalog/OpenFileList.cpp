#include "OpenFileList.h"

#include "Catalog.h"
#include "CatalogFileFormat.h"
#include "CatalogFileReader.h"
#include "CategoryLines.h"
#include "FileAccess.h"
#include "TextEncoding.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <string>
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

// The UTF-8 of a piece of the file: its own bytes when they are UTF-8 already, as
// nearly all are, and otherwise their Windows-1252 reading.
QByteArrayView asUtf8(QByteArrayView bytes, QByteArray &converted)
{
    if (isAscii(bytes) || isValidUtf8(bytes.data(), bytes.size()))
        return bytes;
    converted = decodeCatalogText(bytes.data(), bytes.size()).toUtf8();
    return QByteArrayView(converted);
}

void append(std::string &out, QByteArrayView bytes)
{
    out.append(bytes.data(), std::size_t(bytes.size()));
}

void appendRecordBytes(std::string &out, QByteArrayView path, int index, QByteArrayView keywords)
{
    char digits[12]; // a sign and the ten digits of any int
    char *const digitsEnd = digits + sizeof digits;
    char *digitsStart = digitsEnd;
    for (qint64 rest = index < 0 ? -qint64(index) : index; digitsStart == digitsEnd || rest > 0; rest /= 10)
        *--digitsStart = char('0' + rest % 10);
    if (index < 0)
        *--digitsStart = '-';
    append(out, path);
    out += '/';
    out.append(digitsStart, digitsEnd);
    out += '>';
    append(out, keywords);
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

// Records read from the file whose files have not been looked for yet: their
// paths and keywords as UTF-8, one after another in one buffer, so that a batch
// costs no allocation per record.
struct PendingRecords {
    struct Entry {
        qsizetype pathAt = 0;
        qsizetype pathLength = 0;
        qsizetype keywordsLength = 0; // right after the path
        int storedIndex = 0;
        std::optional<int> filedUnder;
    };
    std::string text;
    std::vector<Entry> entries;

    void add(QByteArrayView path, QByteArrayView keywords, int storedIndex, std::optional<int> filedUnder)
    {
        entries.push_back({qsizetype(text.size()), path.size(), keywords.size(), storedIndex, filedUnder});
        append(text, path);
        append(text, keywords);
    }
    QByteArrayView path(const Entry &entry) const { return QByteArrayView(text.data() + entry.pathAt, entry.pathLength); }
    QByteArrayView keywords(const Entry &entry) const
    {
        return QByteArrayView(text.data() + entry.pathAt + entry.pathLength, entry.keywordsLength);
    }
    void clear()
    {
        text.clear();
        entries.clear();
    }
};

// Decides which files not found sit on unplugged drives, and counts them by drive.
// Files not found come in runs from one folder, and every file of a folder sits on
// the same drive, so the check is asked once per run.
class OfflineFiles
{
public:
    OfflineFiles(const OfflineVolumeCheck &check, QList<OfflineVolumeFiles> &counts)
        : m_check(check)
        , m_counts(counts)
    {
    }

    bool keeps(QByteArrayView path)
    {
        if (!m_check)
            return false;
        const QByteArrayView folder = path.first(std::max<qsizetype>(0, path.lastIndexOf('/')));
        if (!m_askedOnce || folder != QByteArrayView(m_lastFolder)) {
            m_askedOnce = true;
            m_lastFolder = folder.toByteArray();
            const QString volume = m_check(path);
            m_lastCount = volume.isEmpty() ? -1 : countFor(volume);
        }
        if (m_lastCount < 0)
            return false;
        ++m_counts[m_lastCount].files;
        return true;
    }

private:
    qsizetype countFor(const QString &volume)
    {
        for (qsizetype i = 0; i < m_counts.size(); ++i) {
            if (m_counts[i].volumeFolder == volume)
                return i;
        }
        m_counts.append({volume, 0});
        return m_counts.size() - 1;
    }

    const OfflineVolumeCheck &m_check;
    QList<OfflineVolumeFiles> &m_counts;
    bool m_askedOnce = false;
    QByteArray m_lastFolder;
    qsizetype m_lastCount = -1;
};

// Looking for a million files is most of a load: the disk answers two threads at
// once about as fast as it answers one, so a batch is checked half on a helper.
constexpr int kRecordsPerBatch = 16384;
constexpr std::size_t kRecordsWorthAHelper = 2048;

void checkExistence(const PendingRecords &batch, const FileExistsCheck &exists, std::vector<char> &found)
{
    found.assign(batch.entries.size(), 0);
    auto check = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i)
            found[i] = exists(batch.path(batch.entries[i]));
    };
    if (batch.entries.size() < kRecordsWorthAHelper) {
        check(0, batch.entries.size());
        return;
    }
    const std::size_t half = batch.entries.size() / 2;
    std::thread helper(check, half, batch.entries.size());
    check(0, half);
    helper.join();
}

CatalogLoadReport loadFromBytes(QByteArrayView bytes, Catalog &catalog, const FileExistsCheck &exists,
                                const OfflineVolumeCheck &offlineVolumeOf, const GiveBack &giveBack);

} // namespace

bool fileExistsOnDisk(QByteArrayView utf8Path)
{
    // A folder at the path is no catalogued file any more. One plain stat: a load
    // asks this a million times, and QFileInfo's bookkeeping costs more than the call.
    if (utf8Path.isEmpty())
        return false;
#ifdef Q_OS_UNIX
    // A relative path would be looked for in whatever folder the program runs in.
    if (utf8Path.front() != '/')
        return false;
    char onStack[1024];
    std::string onHeap;
    const char *terminated = onStack;
    if (utf8Path.size() < qsizetype(sizeof onStack)) {
        std::memcpy(onStack, utf8Path.data(), std::size_t(utf8Path.size()));
        onStack[utf8Path.size()] = '\0';
    } else {
        onHeap.assign(utf8Path.data(), std::size_t(utf8Path.size()));
        terminated = onHeap.c_str();
    }
    struct stat status {};
    return ::stat(terminated, &status) == 0 && !S_ISDIR(status.st_mode);
#else
    const QFileInfo info(QString::fromUtf8(utf8Path));
    return info.isAbsolute() && info.exists() && !info.isDir();
#endif
}

CatalogLoadReport OpenFileList(const QString &path, Catalog &catalog, const FileExistsCheck &exists,
                               const OfflineVolumeCheck &offlineVolumeOf)
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
    CatalogLoadReport report = loadFromBytes(QByteArrayView(file.bytes), catalog, exists, offlineVolumeOf,
                                               FileAccess::releaseReadBytes);
    if (file.error)
        report.stop = CatalogReadStop{report.stop ? report.stop->line : linesRead, file.error->text()};
    return report;
}

CatalogLoadReport OpenFileList(QByteArrayView bytes, Catalog &catalog, const FileExistsCheck &exists,
                               const OfflineVolumeCheck &offlineVolumeOf)
{
    return loadFromBytes(bytes, catalog, exists, offlineVolumeOf, {});
}

namespace {

CatalogLoadReport loadFromBytes(QByteArrayView bytes, Catalog &catalog, const FileExistsCheck &exists,
                                const OfflineVolumeCheck &offlineVolumeOf, const GiveBack &giveBack)
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
        PendingRecords batch;
        std::vector<char> found;
        std::string record;
        const int recordsBefore = records.size();
        MissingRecords &missing = *catalog.missingRecords();
        OfflineFiles offline(offlineVolumeOf, report.offlineVolumes);
        // Records are filed in the file's order once a batch's files are checked.
        auto fileBatch = [&] {
            checkExistence(batch, exists, found);
            for (std::size_t i = 0; i < batch.entries.size(); ++i) {
                const PendingRecords::Entry &entry = batch.entries[i];
                const QByteArrayView entryPath = batch.path(entry);
                if (!found[i] && !offline.keeps(entryPath)) {
                    ++report.missingFiles;
                    missing.append(entryPath, batch.keywords(entry), entry.filedUnder.value_or(0),
                                   records.size() - recordsBefore);
                    continue;
                }
                const int filedIndex = entry.filedUnder ? *entry.filedUnder : lines.mendedIndexFor(entry.storedIndex);
                record.clear();
                appendRecordBytes(record, entryPath, filedIndex, batch.keywords(entry));
                records.appendUtf8(QByteArrayView(record.data(), qsizetype(record.size())), filedIndex);
            }
            batch.clear();
            if (giveBack) {
                const char *settled = reader.settle();
                giveBack(givenBackUpTo, settled);
                givenBackUpTo = settled;
            }
        };
        batch.entries.reserve(kRecordsPerBatch);
        QByteArray convertedPath;
        QByteArray convertedKeywords;
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
            batch.add(asUtf8(path, convertedPath), asUtf8(keywords, convertedKeywords), index, lines.nodeFor(index));
            if (int(batch.entries.size()) == kRecordsPerBatch)
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
