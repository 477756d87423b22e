#include "FileListRows.h"

#include "FileRecord.h"
#include "TextEncoding.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace {

// Beyond this many different folders or keywords texts, new ones are kept without
// looking for an equal one first.
constexpr qsizetype kMaxTableEntries = 4096;
constexpr std::size_t kFirstBlockSize = 4 * 1024;
constexpr std::size_t kLargestBlockSize = 1024 * 1024;

qsizetype nameStart(QByteArrayView path)
{
    qsizetype slash = path.lastIndexOf('/');
#ifdef Q_OS_WIN
    slash = std::max(slash, path.lastIndexOf('\\'));
#endif
    return slash + 1;
}

qsizetype lastDot(QByteArrayView name)
{
    return name.lastIndexOf('.');
}

QString decoded(QByteArrayView utf8)
{
    return utf8ToText(utf8.data(), utf8.size());
}

} // namespace

FileListRowTexts::FileListRowTexts() = default;
FileListRowTexts::~FileListRowTexts() = default;

const QString *FileListRowTexts::noKeywords()
{
    static const QString empty;
    return &empty;
}

const QString *FileListRowTexts::share(SharedTexts &shared, QByteArrayView utf8)
{
    if (shared.last && utf8 == QByteArrayView(shared.lastBytes))
        return shared.last;
    const QByteArray bytes = utf8.toByteArray();
    const QString *text = shared.byBytes.value(bytes);
    if (!text) {
        shared.texts.push_back(decoded(utf8));
        text = &shared.texts.back();
        if (shared.byBytes.size() < kMaxTableEntries)
            shared.byBytes.insert(bytes, text);
    }
    shared.lastBytes = bytes;
    shared.last = text;
    return text;
}

const char *FileListRowTexts::name(QByteArrayView utf8)
{
    const auto length = std::size_t(utf8.size());
    if (m_blocks.empty() || m_used + length > m_blockSize) {
        // Blocks grow with the list, so a few names cost a few kilobytes and a
        // million names a few dozen blocks.
        m_blockSize = std::max(length, std::min(kLargestBlockSize, std::max(kFirstBlockSize, m_blockSize * 2)));
        m_blocks.push_back(std::make_unique<char[]>(m_blockSize));
        m_used = 0;
    }
    char *stored = m_blocks.back().get() + m_used;
    if (length > 0)
        std::memcpy(stored, utf8.data(), length);
    m_used += length;
    return stored;
}

QByteArrayView nameBytes(const PackedRow &row)
{
    return QByteArrayView(row.name, qsizetype(row.nameLength));
}

QByteArrayView shownNameBytes(const PackedRow &row)
{
    const QByteArrayView name = nameBytes(row);
    if (row.naming == RowNaming::WholeName)
        return name;
    const qsizetype dot = lastDot(name);
    return dot < 0 ? name : name.first(dot);
}

QByteArrayView extensionBytes(const PackedRow &row)
{
    const QByteArrayView name = nameBytes(row);
    const qsizetype dot = lastDot(name);
    return dot < 0 ? QByteArrayView() : name.sliced(dot + 1);
}

bool isAscii(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

QString rowName(const PackedRow &row)
{
    QString name = decoded(shownNameBytes(row));
    return row.naming == RowNaming::LowerCaseWithoutExtension ? std::move(name).toLower() : name;
}

QString rowExtension(const PackedRow &row)
{
    return rowExtensionAsWritten(row).toLower();
}

QString rowExtensionAsWritten(const PackedRow &row)
{
    return decoded(extensionBytes(row));
}

QString rowPath(const PackedRow &row)
{
    return *row.folder + decoded(nameBytes(row));
}

FileListRow unpackedRow(const PackedRow &row)
{
    FileListRow unpacked;
    unpacked.path = rowPath(row);
    unpacked.name = rowName(row);
    unpacked.extension = rowExtension(row);
    unpacked.keywords = *row.keywords;
    unpacked.modifiedMSecs = row.modifiedMSecs;
    unpacked.iconIndex = row.iconIndex;
    unpacked.details = row.details;
    return unpacked;
}

FileListRows::FileListRows() = default;
FileListRows::~FileListRows() = default;
FileListRows::FileListRows(FileListRows &&) noexcept = default;
FileListRows &FileListRows::operator=(FileListRows &&) noexcept = default;

FileListRowTexts &FileListRows::writableTexts()
{
    if (!m_writable) {
        m_writable = std::make_shared<FileListRowTexts>();
        m_texts.push_back(m_writable);
    }
    return *m_writable;
}

void FileListRows::keepTexts(const std::shared_ptr<const FileListRowTexts> &texts)
{
    if (std::find(m_texts.begin(), m_texts.end(), texts) == m_texts.end())
        m_texts.push_back(texts);
}

PackedRow FileListRows::packUtf8(FileListRowTexts &texts, QByteArrayView path, QByteArrayView keywords,
                                 RowNaming naming)
{
    const qsizetype start = nameStart(path);
    return packUtf8(texts, path.first(start), path.sliced(start), keywords, naming);
}

PackedRow FileListRows::packUtf8(FileListRowTexts &texts, QByteArrayView folder, QByteArrayView name,
                                 QByteArrayView keywords, RowNaming naming)
{
    PackedRow row;
    row.folder = texts.folder(folder);
    row.name = texts.name(name);
    row.nameLength = quint32(name.size());
    row.keywords = keywords.isEmpty() ? FileListRowTexts::noKeywords() : texts.keywords(keywords);
    row.naming = naming;
    return row;
}

void FileListRows::addUtf8(QByteArrayView path, QByteArrayView keywords, RowNaming naming)
{
    rows.push_back(packUtf8(writableTexts(), path, keywords, naming));
}

void FileListRows::addInFolderUtf8(QByteArrayView folder, QByteArrayView name, RowNaming naming)
{
    rows.push_back(packUtf8(writableTexts(), folder, name, QByteArrayView(), naming));
}

void FileListRows::add(const QString &path, const QString &keywords, RowNaming naming)
{
    addUtf8(path.toUtf8(), keywords.toUtf8(), naming);
}

const QString *FileListRows::keywordsText(const QString &keywords)
{
    return keywords.isEmpty() ? FileListRowTexts::noKeywords() : writableTexts().keywords(keywords.toUtf8());
}

void FileListRows::append(FileListRows &&other)
{
    for (const auto &texts : other.m_texts)
        keepTexts(texts);
    if (rows.empty())
        rows = std::move(other.rows);
    else
        rows.insert(rows.end(), other.rows.begin(), other.rows.end());
    other.rows.clear();
}

FileListRows FileListRows::slice(std::size_t first, std::size_t last) const
{
    FileListRows part;
    part.m_texts = m_texts;
    part.rows.assign(rows.begin() + std::ptrdiff_t(first), rows.begin() + std::ptrdiff_t(last));
    return part;
}

void FileListRows::removeDuplicatePaths()
{
    // Rows of one path share the folder's text when one builder made them; equal
    // folders of different builders are equal strings.
    const auto hashOf = [this](std::size_t i) {
        const PackedRow &row = rows[i];
        return qHash(*row.folder) ^ qHash(nameBytes(row));
    };
    const auto samePath = [this](std::size_t a, std::size_t b) {
        const PackedRow &x = rows[a];
        const PackedRow &y = rows[b];
        return nameBytes(x) == nameBytes(y) && (x.folder == y.folder || *x.folder == *y.folder);
    };
    std::unordered_set<std::size_t, decltype(hashOf), decltype(samePath)> seen(rows.size(), hashOf, samePath);
    std::vector<char> keepRow(rows.size(), 0);
    for (std::size_t i = rows.size(); i-- > 0;)
        keepRow[i] = seen.insert(i).second;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (keepRow[i])
            rows[kept++] = rows[i];
    }
    rows.resize(kept);
}
