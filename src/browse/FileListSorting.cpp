#include "FileListSorting.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <thread>

namespace {

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

// The row's text in the column as the list shows it, case-folded, appended to out.
// Plain ASCII, nearly every file name, is folded straight from the stored bytes.
void appendFoldedKey(const PackedRow &row, FileListColumn column, QString &out)
{
    if (column == KeywordsColumn) {
        const qsizetype at = out.size();
        out.resize(at + row.keywords->size() * 2);
        out.truncate(at + appendFolded(*row.keywords, out.data() + at));
        return;
    }
    const QByteArrayView bytes = column == ExtensionColumn ? extensionBytes(row) : shownNameBytes(row);
    if (isAscii(bytes)) {
        const qsizetype at = out.size();
        out.resize(at + bytes.size());
        QChar *key = out.data() + at;
        for (const char c : bytes)
            *key++ = QLatin1Char(c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c);
        return;
    }
    const QString text = column == ExtensionColumn ? rowExtension(row) : rowName(row);
    const qsizetype at = out.size();
    out.resize(at + text.size() * 2);
    out.truncate(at + appendFolded(text, out.data() + at));
}

QString foldedKey(const PackedRow &row, FileListColumn column)
{
    QString key;
    appendFoldedKey(row, column, key);
    return key;
}

// Every row's folded text in one buffer: 100,000 separate keys would cost as
// many allocations and scatter the comparisons over the heap.
struct FoldedKeys {
    QString buffer;
    std::vector<std::pair<qsizetype, qsizetype>> spans; // offset, length

    FoldedKeys(const PackedRows &rows, FileListColumn column)
    {
        qsizetype expected = 0;
        for (const PackedRow &row : rows) {
            expected += column == KeywordsColumn ? row.keywords->size()
                : column == ExtensionColumn     ? extensionBytes(row).size()
                                                : shownNameBytes(row).size();
        }
        buffer.reserve(expected);
        spans.reserve(rows.size());
        for (const PackedRow &row : rows) {
            const qsizetype at = buffer.size();
            appendFoldedKey(row, column, buffer);
            spans.emplace_back(at, buffer.size() - at);
        }
    }
    QStringView at(int i) const
    {
        const auto &[offset, length] = spans[std::size_t(i)];
        return QStringView(buffer).mid(offset, length);
    }
};

qint64 timeKey(const PackedRow &row)
{
    const bool dated = row.details == FileListRow::Details::Read || row.details == FileListRow::Details::Dated;
    return dated ? row.modifiedMSecs : std::numeric_limits<qint64>::min();
}

// A big list is sorted in two halves at once, then merged; the merge keeps a row of
// the first half before an equal one of the second, so the order stays stable.
constexpr std::size_t kRowsWorthAHelper = 20000;

template<typename Less>
void stableSortOnTwoThreads(std::vector<int> &order, Less less)
{
    if (order.size() < kRowsWorthAHelper) {
        std::stable_sort(order.begin(), order.end(), less);
        return;
    }
    const auto middle = order.begin() + std::ptrdiff_t(order.size() / 2);
    std::thread helper([&] { std::stable_sort(middle, order.end(), less); });
    std::stable_sort(order.begin(), middle, less);
    helper.join();
    std::inplace_merge(order.begin(), middle, order.end(), less);
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

std::vector<int> sortedOrder(const PackedRows &rows, FileListColumn column)
{
    std::vector<int> order = identityOrder(rows.size());
    if (column == LastModifiedColumn) {
        std::vector<qint64> keys;
        keys.reserve(rows.size());
        for (const PackedRow &row : rows)
            keys.push_back(timeKey(row));
        stableSortOnTwoThreads(order, [&keys](int a, int b) { return keys[std::size_t(a)] < keys[std::size_t(b)]; });
        return order;
    }
    const FoldedKeys keys(rows, column);
    stableSortOnTwoThreads(order, [&keys](int a, int b) { return keys.at(a) < keys.at(b); });
    return order;
}

void applyOrder(PackedRows &rows, const std::vector<int> &order)
{
    PackedRows sorted;
    sorted.reserve(rows.size());
    for (int from : order)
        sorted.push_back(rows[std::size_t(from)]);
    rows = std::move(sorted);
}

std::size_t sortedInsertPosition(const PackedRows &rows, const PackedRow &row, FileListColumn column)
{
    if (column == LastModifiedColumn) {
        const qint64 key = timeKey(row);
        const auto at = std::upper_bound(rows.begin(), rows.end(), key,
                                         [](qint64 value, const PackedRow &other) { return value < timeKey(other); });
        return std::size_t(at - rows.begin());
    }
    const QString key = foldedKey(row, column);
    QString probe;
    const auto at = std::upper_bound(rows.begin(), rows.end(), key, [column, &probe](const QString &value, const PackedRow &other) {
        probe.clear();
        appendFoldedKey(other, column, probe);
        return value < probe;
    });
    return std::size_t(at - rows.begin());
}

bool RowComparer::operator()(const PackedRow &a, const PackedRow &b)
{
    if (m_column == LastModifiedColumn)
        return timeKey(a) < timeKey(b);
    m_left.clear();
    m_right.clear();
    appendFoldedKey(a, m_column, m_left);
    appendFoldedKey(b, m_column, m_right);
    return m_left < m_right;
}

bool isInOrderFrom(const PackedRows &rows, std::size_t from, FileListColumn column)
{
    if (column == LastModifiedColumn)
        return false;
    if (from >= rows.size())
        return true;
    // Two keys, each built once and reused, whatever the number of rows.
    QString previous;
    QString current;
    if (from > 0)
        appendFoldedKey(rows[from - 1], column, previous);
    for (std::size_t i = from; i < rows.size(); ++i) {
        current.clear();
        appendFoldedKey(rows[i], column, current);
        if (i > 0 && current < previous)
            return false;
        previous.swap(current);
    }
    return true;
}
