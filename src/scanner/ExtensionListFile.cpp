#include "ExtensionListFile.h"

#include "FileAccess.h"
#include "FileRecord.h"
#include "TextEncoding.h"

#include <QSaveFile>

#include <limits>

namespace ExtensionListFile {

namespace {

    // 2500 extensions take a few kilobytes; anything near this is no extension list.
    constexpr qint64 kMaxFileSize = 16 << 20;

    bool isLineEnd(QChar c)
    {
        return c == u'\r' || c == u'\n';
    }

    bool isBlank(QChar c)
    {
        return c == u' ' || c == u'\t';
    }

    // Reads items the way the format's readers always have: each item ends at a comma or a
    // line end, and that one delimiter is consumed with it.
    class ItemReader
    {
    public:
        explicit ItemReader(const QString &text)
            : m_text(text)
        {
        }

        bool atEnd() const { return m_position >= m_text.size(); }

        void skipBlanksAndLineEnds()
        {
            while (!atEnd() && (isBlank(m_text[m_position]) || isLineEnd(m_text[m_position])))
                ++m_position;
        }

        QStringView numberField()
        {
            skipBlanks();
            const qsizetype start = m_position;
            while (!atEnd() && m_text[m_position] != u' ' && m_text[m_position] != u','
                   && !isLineEnd(m_text[m_position]))
                ++m_position;
            const QStringView field = QStringView(m_text).mid(start, m_position - start);
            skipBlanks();
            consumeDelimiter();
            return field;
        }

        QString textItem()
        {
            skipBlanks();
            const qsizetype start = m_position;
            while (!atEnd() && m_text[m_position] != u',' && !isLineEnd(m_text[m_position]))
                ++m_position;
            const QString item = m_text.mid(start, m_position - start);
            consumeDelimiter();
            return item;
        }

    private:
        void skipBlanks()
        {
            while (!atEnd() && isBlank(m_text[m_position]))
                ++m_position;
        }

        void consumeDelimiter()
        {
            if (atEnd())
                return;
            if (m_text[m_position] == u',') {
                ++m_position;
                return;
            }
            if (m_text[m_position] == u'\r')
                ++m_position;
            if (!atEnd() && m_text[m_position] == u'\n')
                ++m_position;
        }

        const QString &m_text;
        qsizetype m_position = 0;
    };

} // namespace

ReadResult parse(const QByteArray &bytes)
{
    ReadResult result;
    // Editors often start a UTF-8 file with a byte-order mark; only there is it no text.
    const QByteArrayView content = QByteArrayView(bytes).startsWith(QByteArrayView("\xEF\xBB\xBF", 3))
        ? QByteArrayView(bytes).sliced(3)
        : QByteArrayView(bytes);
    const QString text = decodeCatalogText(content.data(), content.size());
    ItemReader reader(text);
    reader.skipBlanksAndLineEnds();
    if (reader.atEnd())
        return result;

    const QStringView countField = reader.numberField();
    const int readable = leadingNumber(countField);
    if (readable < std::numeric_limits<qint16>::min() || readable > std::numeric_limits<qint16>::max()) {
        result.error = QStringLiteral("The count %1 is out of range.").arg(printableExcerpt(countField));
        return result;
    }
    result.declaredCount = readable;
    for (int i = 0; i < readable; ++i) {
        if (reader.atEnd()) {
            result.error = QStringLiteral("The file ends after %1 of %2 extensions.").arg(i).arg(readable);
            break;
        }
        result.extensions.append(reader.textItem());
    }
    return result;
}

ReadResult read(const QString &path)
{
    // Only a regular file of bounded size: a named pipe would block, a device such as
    // /dev/zero would be read until memory runs out.
    const FileAccess::ReadResult file = FileAccess::readRegularFile(path, kMaxFileSize);
    ReadResult result = file.opened ? parse(file.bytes) : ReadResult();
    if (file.error)
        result.error = file.error->text();
    return result;
}

QByteArray format(const QStringList &extensions)
{
    QByteArray bytes;
    if (extensions.isEmpty())
        return bytes;
    bytes += ' ' + QByteArray::number(extensions.size()) + " \r\n";
    for (const QString &extension : extensions)
        bytes += extension.toUtf8() + "\r\n";
    return bytes;
}

std::optional<QString> write(const QString &path, const QStringList &extensions)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const QByteArray bytes = format(extensions);
    // Small writes only fill Qt's buffer; a disk that refuses the data shows up at the
    // flush, and QSaveFile::commit() would then rename the cut-off file into place.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace ExtensionListFile
