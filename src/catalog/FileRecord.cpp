#include "FileRecord.h"

#include <limits>

namespace {

struct Separators {
    qsizetype slash; // position of the last "/", or -1
    qsizetype greater; // position of the last ">", or -1
};

Separators findSeparators(const QString &record)
{
    return {record.lastIndexOf(QLatin1Char('/')), record.lastIndexOf(QLatin1Char('>'))};
}

QStringView indexField(const QString &record, const Separators &s)
{
    // A missing separator counts as position 0 (before the string), so the field
    // between them may be empty or, when ">" precedes "/", absent.
    const qsizetype begin = s.slash + 1;
    const qsizetype end = s.greater;
    if (end <= begin)
        return {};
    return QStringView(record).mid(begin, end - begin);
}

} // namespace

namespace {

// Decimal digits of value, written backwards from the end of buffer; returns the start.
char16_t *formatIndex(int value, char16_t *bufferEnd)
{
    char16_t *p = bufferEnd;
    qint64 v = value < 0 ? -qint64(value) : qint64(value);
    do {
        *--p = char16_t(u'0' + v % 10);
        v /= 10;
    } while (v);
    if (value < 0)
        *--p = u'-';
    return p;
}

} // namespace

QString MakeFileRecord(const QString &path, int categoryIndex, const QString &keywords)
{
    char16_t digits[16];
    const char16_t *end = digits + 16;
    const char16_t *start = formatIndex(categoryIndex, digits + 16);
    QString record;
    record.reserve(path.size() + (end - start) + keywords.size() + 2);
    record.append(path).append(QLatin1Char('/')).append(QStringView(start, end)).append(QLatin1Char('>')).append(keywords);
    return record;
}

ParsedRecord ParseFileRecord(const QString &record)
{
    const Separators s = findSeparators(record);
    ParsedRecord parsed;
    parsed.path = record.left(qMax<qsizetype>(s.slash, 0));
    parsed.categoryIndex = leadingNumber(indexField(record, s));
    parsed.keywords = record.mid(s.greater + 1);
    return parsed;
}

QString SetRecordCategory(const QString &record, int newIndex)
{
    const Separators s = findSeparators(record);
    return MakeFileRecord(record.left(qMax<qsizetype>(s.slash, 0)), newIndex, record.mid(s.greater + 1));
}

QString recordPath(const QString &record)
{
    return record.left(qMax<qsizetype>(record.lastIndexOf(QLatin1Char('/')), 0));
}

int recordCategoryIndex(const QString &record)
{
    return leadingNumber(indexField(record, findSeparators(record)));
}

QString recordKeywords(const QString &record)
{
    return record.mid(record.lastIndexOf(QLatin1Char('>')) + 1);
}

RecordViews recordViews(const QString &record)
{
    const Separators s = findSeparators(record);
    const QStringView whole(record);
    return {whole.left(qMax<qsizetype>(s.slash, 0)), indexField(record, s), whole.mid(s.greater + 1)};
}

RecordUtf8Views recordUtf8Views(QByteArrayView record)
{
    // "/" and ">" are single bytes in UTF-8, never part of another character.
    const qsizetype slash = record.lastIndexOf('/');
    const qsizetype greater = record.lastIndexOf('>');
    return {record.first(qMax<qsizetype>(slash, 0)), record.sliced(greater + 1)};
}

bool recordIndexFieldIs(const QString &record, int index)
{
    char16_t digits[16];
    const char16_t *start = formatIndex(index, digits + 16);
    return indexField(record, findSeparators(record)) == QStringView(start, digits + 16);
}

int leadingNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > std::numeric_limits<int>::max())
            value = qint64(std::numeric_limits<int>::max()) + 1; // keep it from overflowing
    }
    if (negative)
        value = -value;
    return int(qBound(qint64(std::numeric_limits<int>::min()), value, qint64(std::numeric_limits<int>::max())));
}

bool isSentinel(const QString &record)
{
    return record == kSentinelRecord;
}
