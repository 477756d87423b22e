#include "CatalogFileReader.h"

#include "TextEncoding.h"

#include <cstring>

CatalogFileReader::CatalogFileReader(QByteArrayView bytes)
    : m_pos(bytes.data())
    , m_end(bytes.data() + bytes.size())
{
}

void CatalogFileReader::skipBlanks()
{
    while (m_pos < m_end && (*m_pos == ' ' || *m_pos == '\t' || *m_pos == '\r' || *m_pos == '\n')) {
        if (*m_pos == '\n')
            ++m_line;
        ++m_pos;
    }
}

void CatalogFileReader::finishItem()
{
    while (m_pos < m_end && *m_pos == ' ')
        ++m_pos;
    if (m_pos < m_end && *m_pos == ',')
        ++m_pos;
}

bool CatalogFileReader::fail(const QString &reason)
{
    if (m_error.isEmpty()) {
        m_error = reason;
        m_errorLine = m_line;
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
    return m_line;
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
        for (const char *c = start; c < close; ++c)
            m_line += *c == '\n';
        m_pos = close + 1;
        return QByteArrayView(start, close - start);
    }
    const char *start = m_pos;
    while (m_pos < m_end && *m_pos != ',' && *m_pos != '\r' && *m_pos != '\n')
        ++m_pos;
    const char *stop = m_pos;
    while (stop > start && (stop[-1] == ' ' || stop[-1] == '\t'))
        --stop; // an unquoted item does not keep the padding before the line end
    return QByteArrayView(start, stop - start);
}

bool CatalogFileReader::readText(QString &value)
{
    skipBlanks();
    if (m_pos >= m_end)
        return fail(QStringLiteral("an item is missing at the end of the file"));
    const int startLine = m_line;
    const bool quoted = *m_pos == '"';
    const QByteArrayView raw = readRawText();
    if (quoted && raw.data() == nullptr) {
        m_line = startLine;
        return fail(QStringLiteral("a quoted text has no closing quote"));
    }
    value = decodeCatalogText(raw.data(), raw.size());
    finishItem();
    return true;
}

bool CatalogFileReader::readNumber(int &value)
{
    skipBlanks();
    if (m_pos >= m_end)
        return fail(QStringLiteral("a number is missing at the end of the file"));
    QByteArrayView raw;
    if (*m_pos == '"') {
        const int startLine = m_line;
        raw = readRawText();
        if (raw.data() == nullptr) {
            m_line = startLine;
            return fail(QStringLiteral("a quoted text has no closing quote"));
        }
    } else {
        const char *start = m_pos;
        while (m_pos < m_end && *m_pos != ' ' && *m_pos != ',' && *m_pos != '\r' && *m_pos != '\n')
            ++m_pos;
        raw = QByteArrayView(start, m_pos - start);
    }
    finishItem();

    const QByteArray text = raw.trimmed().toByteArray();
    if (text.isEmpty()) {
        value = 0; // an empty field between delimiters reads as zero
        return true;
    }
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok)
        return fail(QStringLiteral("\"%1\" is not a number").arg(QString::fromLatin1(text.left(40))));
    if (number < -32768 || number > 32767)
        return fail(QStringLiteral("the number %1 is out of range").arg(number));
    value = number;
    return true;
}
