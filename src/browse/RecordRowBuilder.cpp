#include "RecordRowBuilder.h"

#include "FileRecord.h"

namespace {

constexpr std::size_t kMaxSharedExtensions = 32;

bool isAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

// For ASCII text, whether lower-casing it gives lower.
bool lowersTo(QStringView text, const QString &lower)
{
    if (text.size() != lower.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t c = text[i].unicode();
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c + 0x20);
        if (c != lower[i].unicode())
            return false;
    }
    return true;
}

} // namespace

std::unique_ptr<FileListRow> RecordRowBuilder::rowFor(QByteArrayView utf8Record)
{
    const RecordUtf8Views parts = recordUtf8Views(utf8Record);
    auto row = std::make_unique<FileListRow>();
    row->path = QString::fromUtf8(parts.path);
    const FileNameParts name = splitFileName(fileNameOf(row->path));
    row->name = name.base.toString();
    if (!name.extension.isEmpty())
        row->extension = sharedExtension(name.extension);
    if (!parts.keywords.isEmpty()) {
        if (parts.keywords != QByteArrayView(m_previousKeywordBytes)) {
            m_previousKeywordBytes = parts.keywords.toByteArray();
            m_previousKeywords = QString::fromUtf8(parts.keywords);
        }
        row->keywords = m_previousKeywords;
    }
    return row;
}

QString RecordRowBuilder::sharedExtension(QStringView extension)
{
    // Only ASCII is compared here: lower-casing beyond it is QString's to decide.
    if (!isAscii(extension))
        return extension.toString().toLower();
    for (const QString &known : m_extensions) {
        if (lowersTo(extension, known))
            return known;
    }
    QString lower = extension.toString().toLower();
    if (m_extensions.size() < kMaxSharedExtensions)
        m_extensions.push_back(lower);
    return lower;
}
