#include "FileListSorting.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <thread>

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

std::vector<int> sortedOrder(const FileListRows &rows, FileListColumn column)
{
    std::vector<int> order = identityOrder(rows.size());
    if (column == LastModifiedColumn) {
        std::vector<qint64> keys;
        keys.reserve(rows.size());
        for (const auto &row : rows)
            keys.push_back(timeKey(*row));
        stableSortOnTwoThreads(order, [&keys](int a, int b) { return keys[std::size_t(a)] < keys[std::size_t(b)]; });
        return order;
    }
    const FoldedKeys keys(rows, column);
    stableSortOnTwoThreads(order, [&keys](int a, int b) { return keys.at(a) < keys.at(b); });
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

namespace {

// The folded UTF-16 units of a text one by one, as appendFolded() writes them.
class FoldedUnits
{
public:
    explicit FoldedUnits(QStringView text)
        : m_text(text)
    {
    }
    // False at the end.
    bool next(char16_t &unit)
    {
        if (m_pending) {
            unit = m_pending;
            m_pending = 0;
            return true;
        }
        if (m_at >= m_text.size())
            return false;
        char32_t code = m_text[m_at++].unicode();
        if (QChar::isHighSurrogate(code) && m_at < m_text.size() && m_text[m_at].isLowSurrogate())
            code = QChar::surrogateToUcs4(char16_t(code), m_text[m_at++].unicode());
        const char32_t folded = QChar::toCaseFolded(code);
        if (QChar::requiresSurrogates(folded)) {
            unit = QChar::highSurrogate(folded);
            m_pending = QChar::lowSurrogate(folded);
        } else {
            unit = char16_t(folded);
        }
        return true;
    }

private:
    QStringView m_text;
    qsizetype m_at = 0;
    char16_t m_pending = 0;
};

// Whether the folded right text sorts before the folded left one, without building either.
bool foldedLess(QStringView left, QStringView right)
{
    FoldedUnits a(left);
    FoldedUnits b(right);
    for (;;) {
        char16_t x = 0;
        char16_t y = 0;
        const bool hasX = a.next(x);
        const bool hasY = b.next(y);
        if (!hasX || !hasY)
            return !hasX && hasY;
        if (x != y)
            return x < y;
    }
}

} // namespace

bool rowLess(const FileListRow &a, const FileListRow &b, FileListColumn column)
{
    if (column == LastModifiedColumn)
        return timeKey(a) < timeKey(b);
    return foldedLess(columnText(a, column), columnText(b, column));
}

bool isInOrderFrom(const FileListRows &rows, std::size_t from, FileListColumn column)
{
    if (column == LastModifiedColumn)
        return false;
    for (std::size_t i = std::max<std::size_t>(from, 1); i < rows.size(); ++i) {
        if (foldedLess(columnText(*rows[i], column), columnText(*rows[i - 1], column)))
            return false;
    }
    return true;
}
