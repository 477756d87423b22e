#include "TextEncoding.h"

#include <QStringDecoder>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeCp1252(const char *data, qsizetype size)
{
    QString text(size, Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        out[i] = (byte >= 0x80 && byte < 0xA0) ? QChar(kCp1252High[byte - 0x80]) : QChar(byte);
    }
    return text;
}

} // namespace

bool isValidUtf8(const char *data, qsizetype size)
{
    const auto *s = reinterpret_cast<const unsigned char *>(data);
    qsizetype i = 0;
    while (i < size) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int more;
        unsigned int codePoint;
        if ((c & 0xE0) == 0xC0) {
            more = 1;
            codePoint = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2;
            codePoint = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3;
            codePoint = c & 0x07;
        } else {
            return false;
        }
        if (i + more >= size)
            return false;
        for (int k = 1; k <= more; ++k) {
            if ((s[i + k] & 0xC0) != 0x80)
                return false;
            codePoint = (codePoint << 6) | (s[i + k] & 0x3F);
        }
        static constexpr unsigned int kMinimum[4] = {0, 0x80, 0x800, 0x10000};
        if (codePoint < kMinimum[more] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;
        i += more + 1;
    }
    return true;
}

QString utf8ToText(const char *data, qsizetype size)
{
    if (size < 3 || static_cast<unsigned char>(data[0]) != 0xEF)
        return QString::fromUtf8(data, size);
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder(QByteArrayView(data, size));
}

void decodeCatalogTextInto(const char *data, qsizetype size, QString &out)
{
    out.resize(size);
    QChar *chars = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        if (byte >= 0x80) {
            out = decodeCatalogText(data, size);
            return;
        }
        chars[i] = QChar(byte);
    }
}

QString decodeCatalogText(const char *data, qsizetype size)
{
    bool ascii = true;
    for (qsizetype i = 0; i < size && ascii; ++i)
        ascii = static_cast<unsigned char>(data[i]) < 0x80;
    if (ascii)
        return QString::fromLatin1(data, size);
    if (isValidUtf8(data, size))
        return utf8ToText(data, size);
    return decodeCp1252(data, size);
}

QString printableExcerpt(QStringView text, qsizetype maxCharacters)
{
    QString shown;
    qsizetype characters = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++characters) {
        if (characters == maxCharacters)
            return shown + QStringLiteral("...");
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            shown.append(c).append(text[++i]);
            continue;
        }
        switch (c.unicode()) {
        case 0:
            shown += QStringLiteral("\\0");
            break;
        case '\t':
            shown += QStringLiteral("\\t");
            break;
        case '\r':
            shown += QStringLiteral("\\r");
            break;
        case '\n':
            shown += QStringLiteral("\\n");
            break;
        default:
            if (c.isPrint())
                shown += c;
            else
                shown += (c.unicode() < 0x100 ? QStringLiteral("\\x") : QStringLiteral("\\u"))
                    + QString::number(c.unicode(), 16).toUpper().rightJustified(c.unicode() < 0x100 ? 2 : 4, QLatin1Char('0'));
        }
    }
    return shown;
}

QString printableExcerpt(QByteArrayView bytes, qsizetype maxCharacters)
{
    // Only the head is shown: a huge item is not decoded whole for a message. The cut
    // falls between characters, so that UTF-8 text still reads as UTF-8.
    qsizetype cut = qMin<qsizetype>(bytes.size(), 4 * (maxCharacters + 1));
    while (cut < bytes.size() && cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80)
        --cut;
    const QByteArrayView head = bytes.first(cut);
    return printableExcerpt(QStringView(decodeCatalogText(head.data(), head.size())), maxCharacters);
}
