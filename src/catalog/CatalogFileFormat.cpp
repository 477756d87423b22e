#include "CatalogFileFormat.h"

#include <cstdio>

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

void LineBuilder::put(QStringView value, bool textItem)
{
    // Most catalog text is ASCII: copy it byte for byte and leave the rest to the encoder.
    const qsizetype start = m_out.size();
    m_out.resize(start + value.size());
    char *out = m_out.data() + start;
    qsizetype i = 0;
    for (; i < value.size(); ++i) {
        const char16_t c = value[i].unicode();
        if (c >= 0x80)
            break;
        // The format has no escapes: a quote or a line end inside a text would end the
        // item early and shift every item after it, so they are written as look-alikes.
        if (textItem && (c == '"' || c == '\r' || c == '\n'))
            out[i] = c == '"' ? '\'' : ' ';
        else
            out[i] = char(c);
    }
    m_column += i;
    if (i == value.size())
        return;
    m_out.resize(start + i);
    // The zones count characters: a pair of surrogates is one character.
    for (qsizetype k = i; k < value.size(); ++k) {
        if (!value[k].isLowSurrogate() || k == i || !value[k - 1].isHighSurrogate())
            ++m_column;
    }
    QString rest = value.mid(i).toString();
    if (textItem)
        rest.replace(QLatin1Char('"'), QLatin1Char('\'')).replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    m_out.append(rest.toUtf8());
}

void LineBuilder::text(QStringView value)
{
    beginItem();
    m_out.append('"');
    put(value, true);
    m_out.append('"');
    m_column += 2;
}

void LineBuilder::number(int value)
{
    beginItem();
    char digits[16];
    const int length = std::snprintf(digits, sizeof digits, "%lld", value < 0 ? -qint64(value) : qint64(value));
    m_out.append(value < 0 ? '-' : ' ').append(digits, length).append(' ');
    m_column += length + 2;
}

void LineBuilder::bare(QStringView value)
{
    beginItem();
    put(value, false);
}

void LineBuilder::end()
{
    m_out.append(kLineEnd);
}

} // namespace CatalogFileFormat
