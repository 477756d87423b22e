#include "FileListSorting.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace {

const QString &columnText(const FileListRow &row, FileListColumn column)
{
    switch (column) {
    case ExtensionColumn:
        return row.extension;
    case KeywordsColumn:
        return row.keywords;
    default:
        return row.name;
    }
}

// Appends the text with every character case-folded, one character for one, so
// that "Beach" and "beach" compare equal and the keys of the full sort and of a
// single insertion agree. Returns the length appended.
qsizetype appendFolded(QStringView text, QChar *out)
{
    QChar *const start = out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t code = text[i].unicode();
        if (QChar::isHighSurrogate(code) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(char16_t(code), text[i + 1].unicode());
            ++i;
        }
        const char32_t folded = QChar::toCaseFolded(code);
        if (QChar::requiresSurrogates(folded)) {
            *out++ = QChar(QChar::highSurrogate(folded));
            *out++ = QChar(QChar::lowSurrogate(folded));
        } else {
            *out++ = QChar(char16_t(folded));
        }
    }
    return out - start;
}

QString foldedKey(const FileListRow &row, FileListColumn column)
{
    const QString &text = columnText(row, column);
    QString key(text.size() * 2, Qt::Uninitialized);
    key.truncate(appendFolded(text, key.data()));
    return key;
}

// Every row's folded text in one buffer: 100,000 separate keys would cost as
// many allocations and scatter the comparisons over the heap.
struct FoldedKeys {
    QString buffer;
    std::vector<std::pair<qsizetype, qsizetype>> spans; // offset, length

    FoldedKeys(const FileListRows &rows, FileListColumn column)
    {
        qsizetype total = 0;
        for (const auto &row : rows)
            total += columnText(*row, column).size();
        buffer.resize(total * 2, QChar());
        spans.reserve(rows.size());
        qsizetype used = 0;
        for (const auto &row : rows) {
            const qsizetype length = appendFolded(columnText(*row, column), buffer.data() + used);
            spans.emplace_back(used, length);
            used += length;
        }
    }
    QStringView at(int i) const
    {
        const auto &[offset, length] = spans[std::size_t(i)];
        return QStringView(buffer).mid(offset, length);
    }
};

qint64 timeKey(const FileListRow &row)
{
    return row.details == FileListRow::Details::Read ? row.modifiedMSecs : std::numeric_limits<qint64>::min();
}

std::vector<int> identityOrder(std::size_t size)
{
    std::vector<int> order(size);
    std::iota(order.begin(), order.end(), 0);
    return order;
}

} // namespace

bool isSortColumn(int column)
{
    return column >= 0 && column < FileListColumnCount && column != TypeColumn;
}

std::vector<int> sortedOrder(const FileListRows &rows, FileListColumn column)
{
    std::vector<int> order = identityOrder(rows.size());
    if (column == LastModifiedColumn) {
        std::vector<qint64> keys;
        keys.reserve(rows.size());
        for (const auto &row : rows)
            keys.push_back(timeKey(*row));
        std::stable_sort(order.begin(), order.end(),
                         [&keys](int a, int b) { return keys[std::size_t(a)] < keys[std::size_t(b)]; });
        return order;
    }
    const FoldedKeys keys(rows, column);
    std::stable_sort(order.begin(), order.end(), [&keys](int a, int b) { return keys.at(a) < keys.at(b); });
    return order;
}

void applyOrder(FileListRows &rows, const std::vector<int> &order)
{
    FileListRows sorted;
    sorted.reserve(rows.size());
    for (int from : order)
        sorted.push_back(std::move(rows[std::size_t(from)]));
    rows = std::move(sorted);
}

std::size_t sortedInsertPosition(const FileListRows &rows, const FileListRow &row, FileListColumn column)
{
    if (column == LastModifiedColumn) {
        const qint64 key = timeKey(row);
        const auto at = std::upper_bound(rows.begin(), rows.end(), key,
                                         [](qint64 value, const auto &other) { return value < timeKey(*other); });
        return std::size_t(at - rows.begin());
    }
    const QString key = foldedKey(row, column);
    const auto at = std::upper_bound(rows.begin(), rows.end(), key, [column](const QString &value, const auto &other) {
        return value < foldedKey(*other, column);
    });
    return std::size_t(at - rows.begin());
}

bool isInOrderFrom(const FileListRows &rows, std::size_t from, FileListColumn column)
{
    if (column == LastModifiedColumn)
        return false;
    std::size_t i = from > 0 ? from - 1 : 0;
    if (i >= rows.size())
        return true;
    QString previous = foldedKey(*rows[i], column);
    for (++i; i < rows.size(); ++i) {
        QString key = foldedKey(*rows[i], column);
        if (key < previous)
            return false;
        previous = std::move(key);
    }
    return true;
}
