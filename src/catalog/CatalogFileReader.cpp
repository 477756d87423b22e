#include "CatalogFileReader.h"

#include "TextEncoding.h"

#include <algorithm>
#include <cstring>

CatalogFileReader::CatalogFileReader(QByteArrayView bytes)
    : m_begin(bytes.data())
    , m_pos(bytes.data())
    , m_end(bytes.data() + bytes.size())
    , m_settled(bytes.data())
{
}

void CatalogFileReader::skipBlanks()
{
    while (m_pos < m_end && (*m_pos == ' ' || *m_pos == '\t' || *m_pos == '\r' || *m_pos == '\n'))
        ++m_pos;
}

void CatalogFileReader::finishItem()
{
    while (m_pos < m_end && *m_pos == ' ')
        ++m_pos;
    if (m_pos < m_end && *m_pos == ',')
        ++m_pos;
}

namespace {

// Counted eight bytes at a time: the load counts the line feeds of the whole file.
int countLineFeeds(const char *from, const char *to)
{
    constexpr quint64 kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    constexpr quint64 kLineFeeds = 0x0A0A0A0A0A0A0A0AULL;
    qint64 count = 0;
    for (; to - from >= 8; from += 8) {
        quint64 word;
        std::memcpy(&word, from, 8);
        word ^= kLineFeeds; // a line feed is now a zero byte
        // One in each byte that was zero, nothing in the others; the multiplication
        // sums the bytes into the top one.
        const quint64 zeros = ~(((word & kLow7) + kLow7) | word | kLow7) >> 7;
        count += qint64((zeros * 0x0101010101010101ULL) >> 56);
    }
    count += std::count(from, to, '\n');
    return int(count);
}

} // namespace

int CatalogFileReader::lineAt(const char *position) const
{
    position = qMin(position, m_end);
    if (position < m_settled)
        return 1 + countLineFeeds(m_begin, position);
    return 1 + m_settledLines + countLineFeeds(m_settled, position);
}

const char *CatalogFileReader::settle()
{
    m_settledLines += countLineFeeds(m_settled, m_pos);
    m_settled = m_pos;
    return m_pos;
}

bool CatalogFileReader::fail(const QString &reason, const char *where)
{
    if (m_error.isEmpty()) {
        m_error = reason;
        m_errorLine = lineAt(where ? where : m_pos);
    }
    return false;
}

bool CatalogFileReader::atEnd()
{
    skipBlanks();
    return m_pos >= m_end;
}

int CatalogFileReader::nextItemLine()
{
    skipBlanks();
    return lineAt(m_pos);
}

QByteArrayView CatalogFileReader::readRawText()
{
    if (*m_pos == '"') {
        const char *start = ++m_pos;
        const auto *close = static_cast<const char *>(std::memchr(start, '"', std::size_t(m_end - start)));
        if (!close) {
            m_pos = m_end;
            return {};
        }
        m_pos = close + 1;
        return QByteArrayView(start, close - start);
    }
    // An unquoted item runs to the next comma or line end, blanks before it included.
    const char *start = m_pos;
    while (m_pos < m_end && *m_pos != ',' && *m_pos != '\r' && *m_pos != '\n')
        ++m_pos;
    return QByteArrayView(start, m_pos - start);
}

bool CatalogFileReader::readTextBytes(QByteArrayView &bytes)
{
    skipBlanks();
    if (m_pos >= m_end)
        return fail(QStringLiteral("an item is missing at the end of the file"));
    const char *start = m_pos;
    const bool quoted = *m_pos == '"';
    bytes = readRawText();
    if (quoted && bytes.data() == nullptr)
        return fail(QStringLiteral("a quoted text has no closing quote"), start);
    finishItem();
    return true;
}

bool CatalogFileReader::readText(QString &value)
{
    QByteArrayView bytes;
    if (!readTextBytes(bytes))
        return false;
    decodeCatalogTextInto(bytes.data(), bytes.size(), value);
    return true;
}

bool CatalogFileReader::readNumber(int &value)
{
    skipBlanks();
    if (m_pos >= m_end)
        return fail(QStringLiteral("a number is missing at the end of the file"));
    QByteArrayView raw;
    const char *start = m_pos;
    if (*m_pos == '"') {
        raw = readRawText();
        if (raw.data() == nullptr)
            return fail(QStringLiteral("a quoted text has no closing quote"), start);
    } else {
        while (m_pos < m_end && *m_pos != ' ' && *m_pos != ',' && *m_pos != '\r' && *m_pos != '\n')
            ++m_pos;
        raw = QByteArrayView(start, m_pos - start);
    }
    finishItem();

    const QByteArrayView text = raw.trimmed();
    if (text.isEmpty()) {
        value = 0; // an empty field between delimiters reads as zero
        return true;
    }
    qsizetype i = 0;
    const bool negative = text[0] == '-';
    if (text[0] == '-' || text[0] == '+')
        ++i;
    qint64 number = 0;
    bool ok = i < text.size();
    for (; ok && i < text.size(); ++i) {
        ok = text[i] >= '0' && text[i] <= '9';
        number = qMin<qint64>(number * 10 + (text[i] - '0'), 1'000'000);
    }
    if (!ok)
        return fail(QStringLiteral("\"%1\" is not a number").arg(printableExcerpt(text)));
    if (negative)
        number = -number;
    if (number < -32768 || number > 32767)
        return fail(QStringLiteral("the number %1 is out of range").arg(printableExcerpt(text)));
    value = int(number);
    return true;
}
