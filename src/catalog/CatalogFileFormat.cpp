#include "CatalogFileFormat.h"

namespace CatalogFileFormat {

void LineBuilder::beginItem()
{
    if (!m_first) {
        const qsizetype pad = kZoneWidth - m_column % kZoneWidth;
        m_out.append(pad, ' ');
        m_column += pad;
    }
    m_first = false;
}

void LineBuilder::put(const QString &value)
{
    m_out.append(value.toUtf8());
    m_column += value.size();
}

void LineBuilder::text(const QString &value)
{
    beginItem();
    m_out.append('"');
    // The format has no escapes: a quote or a line end inside a text would end the
    // item early and shift every item after it, so they are written as harmless
    // look-alikes instead.
    if (value.contains(QLatin1Char('"')) || value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n'))) {
        QString safe = value;
        safe.replace(QLatin1Char('"'), QLatin1Char('\'')).replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        put(safe);
    } else {
        put(value);
    }
    m_out.append('"');
    m_column += 2;
}

void LineBuilder::number(int value)
{
    beginItem();
    const QByteArray digits = QByteArray::number(value < 0 ? -qint64(value) : qint64(value));
    m_out.append(value < 0 ? '-' : ' ').append(digits).append(' ');
    m_column += digits.size() + 2;
}

void LineBuilder::bare(const QString &value)
{
    beginItem();
    put(value);
}

void LineBuilder::end()
{
    m_out.append(kLineEnd);
}

} // namespace CatalogFileFormat
