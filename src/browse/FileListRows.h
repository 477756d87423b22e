#pragma once

#include "FileListRow.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <deque>
#include <memory>
#include <vector>

// How a row names its file: a listed category and the quick search show the name
// without its extension, the advanced search the whole name, a scan the name
// without its extension in lower case.
enum class RowNaming : quint8 { WithoutExtension, WholeName, LowerCaseWithoutExtension };

// The texts rows point into: file names in UTF-8, and each folder and each keywords
// text once, as a string. Whoever builds rows (often a worker thread) fills one of
// these; once the rows are handed to the list it is only read, by the window's
// thread. A million rows in a few thousand folders hold each folder once, so a row
// costs its file name and a few words, not its full path twice over in UTF-16.
class FileListRowTexts
{
public:
    FileListRowTexts();
    ~FileListRowTexts();
    FileListRowTexts(const FileListRowTexts &) = delete;
    FileListRowTexts &operator=(const FileListRowTexts &) = delete;

    // Folders end with their separator.
    const QString *folder(QByteArrayView utf8) { return share(m_folders, utf8); }
    const QString *keywords(QByteArrayView utf8) { return share(m_keywords, utf8); }
    const char *name(QByteArrayView utf8);

    static const QString *noKeywords();

private:
    // Equal texts are shared through a table, which stops growing at a few thousand
    // entries so that a list of a million different texts does not pay for it
    // twice; the text of the row before is always shared.
    struct SharedTexts {
        std::deque<QString> texts; // never moved: rows point at them
        QHash<QByteArray, const QString *> byBytes;
        QByteArray lastBytes;
        const QString *last = nullptr;
    };
    static const QString *share(SharedTexts &shared, QByteArrayView utf8);

    SharedTexts m_folders;
    SharedTexts m_keywords;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::size_t m_used = 0; // in the last block
    std::size_t m_blockSize = 0;
};

// One row as the list keeps it: where its texts are and what was read of its file.
// The texts shown (name, extension, path) are made from these when asked for.
struct PackedRow {
    const char *name = nullptr; // UTF-8, not terminated
    const QString *folder = nullptr;
    const QString *keywords = nullptr;
    qint64 modifiedMSecs = 0; // valid when details is Read or Dated
    int iconIndex = 0; // position in the icon cache, 0 for none
    quint32 nameLength = 0;
    // While a category is being listed, 1 + the place of the row's record among
    // those listed at once; 0 for every other row.
    quint32 listedAt = 0;
    FileListRow::Details details = FileListRow::Details::NotRead;
    RowNaming naming = RowNaming::WithoutExtension;
};
using PackedRows = std::vector<PackedRow>;

QByteArrayView nameBytes(const PackedRow &row);
// The part of the name the Name column shows, before lower-casing.
QByteArrayView shownNameBytes(const PackedRow &row);
// After the name's last ".", case kept; empty when there is none.
QByteArrayView extensionBytes(const PackedRow &row);
QString rowName(const PackedRow &row);
// Lower case, without the dot.
QString rowExtension(const PackedRow &row);
// As the file system has it, for the type and icon caches.
QString rowExtensionAsWritten(const PackedRow &row);
QString rowPath(const PackedRow &row);
bool isAscii(QByteArrayView bytes);
// The row with its texts made; its type is left for the list to fill.
FileListRow unpackedRow(const PackedRow &row);

// Rows and the texts they point into, as built and handed to the list in one piece.
class FileListRows
{
public:
    FileListRows();
    ~FileListRows();
    FileListRows(FileListRows &&) noexcept;
    FileListRows &operator=(FileListRows &&) noexcept;

    std::size_t size() const { return rows.size(); }
    bool empty() const { return rows.empty(); }
    void reserve(std::size_t count) { rows.reserve(count); }

    // A record's path and keywords as the catalog stores them (UTF-8).
    void addUtf8(QByteArrayView path, QByteArrayView keywords, RowNaming naming);
    void add(const QString &path, const QString &keywords, RowNaming naming);
    // A file without keywords, from its folder (ending in its separator) and its name.
    void addInFolderUtf8(QByteArrayView folder, QByteArrayView name, RowNaming naming);
    // A row made with its texts in texts, which the list must keep (keepTexts): for
    // several threads each filling its own stretch of a list sized beforehand, so that
    // a million rows are written once, where they stay.
    static PackedRow packUtf8(FileListRowTexts &texts, QByteArrayView path, QByteArrayView keywords, RowNaming naming);
    static PackedRow packUtf8(FileListRowTexts &texts, QByteArrayView folder, QByteArrayView name,
                              QByteArrayView keywords, RowNaming naming);
    void keepTexts(const std::shared_ptr<const FileListRowTexts> &texts);
    // Keywords for a row of this list, kept with its other texts.
    const QString *keywordsText(const QString &keywords);
    // Moves the other's rows to the end, keeping their texts.
    void append(FileListRows &&other);
    // A copy of rows [first, last), sharing their texts.
    FileListRows slice(std::size_t first, std::size_t last) const;
    // Keeps of each group of rows with one path the last, the others in order. Linear.
    void removeDuplicatePaths();

    PackedRows rows;

private:
    FileListRowTexts &writableTexts();

    std::vector<std::shared_ptr<const FileListRowTexts>> m_texts;
    std::shared_ptr<FileListRowTexts> m_writable;
};
