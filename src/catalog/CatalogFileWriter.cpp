#include "CatalogFileWriter.h"

#include "Catalog.h"
#include "CatalogFileFormat.h"
#include "FileRecord.h"

namespace {

constexpr qsizetype kFlushSize = 1 << 20;

bool flush(QIODevice &device, QByteArray &buffer)
{
    const bool ok = device.write(buffer) == buffer.size();
    buffer.resize(0); // keeps the capacity for the next chunk
    return ok;
}

// A device other than a file knows no system error, only its own words for it.
CatalogFileError deviceError(const QIODevice &device)
{
    const QString description = device.errorString();
    return FileAccess::accessError(description.isEmpty() ? QStringLiteral("the data could not be written") : description);
}

} // namespace

namespace {

bool isCanonicalIndex(QStringView text)
{
    const QStringView digits = text.startsWith(QLatin1Char('-')) ? text.mid(1) : text;
    if (digits.isEmpty() || digits.size() > 5 || (digits.size() > 1 && digits.front() == QLatin1Char('0')))
        return false;
    int value = 0;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        value = value * 10 + (c.unicode() - '0');
    }
    return text.front() == QLatin1Char('-') ? value <= 32768 : value <= 32767;
}

// An index beyond what the file can hold names no category anyway: it is written as 0,
// no category, so the line still reads back.
int writableIndex(int index)
{
    return index < -32768 || index > 32767 ? 0 : index;
}

} // namespace

CatalogFileWriter::CatalogFileWriter(const Catalog &catalog, int temporaryIndex)
    : m_catalog(catalog)
    , m_temporaryIndex(temporaryIndex)
{
}

bool CatalogFileWriter::isWritten(int nodeIndex) const
{
    // Only the system category is left out: another node that happens to carry
    // the name is the user's and is written with its records.
    return nodeIndex != m_temporaryIndex;
}

int CatalogFileWriter::categoryLineCount() const
{
    const int nodes = m_catalog.tree().nodeCount();
    return m_temporaryIndex >= 1 && m_temporaryIndex <= nodes ? nodes - 1 : nodes;
}

std::optional<CatalogFileError> CatalogFileWriter::write(QIODevice &device) const
{
    using CatalogFileFormat::LineBuilder;
    const CategoryTree &tree = m_catalog.tree();
    const RecordList &records = m_catalog.records();
    QByteArray buffer;
    buffer.reserve(kFlushSize + 4096);

    {
        LineBuilder line(buffer);
        line.number(categoryLineCount());
        line.end();
    }
    for (int index = 1; index <= tree.nodeCount(); ++index) {
        if (!isWritten(index))
            continue;
        const CategoryNode *node = tree.node(index);
        // Deeper categories store only "parent\name": the reader rebuilds them by name.
        const QString pathPart = node->parent ? node->parent->name + QLatin1Char('\\') + node->name : node->name;
        LineBuilder line(buffer);
        line.text(node->name);
        line.text(pathPart);
        line.number(index);
        line.end();
        if (buffer.size() >= kFlushSize && !flush(device, buffer))
            return deviceError(device);
    }
    for (int position = 0; position < records.size(); ++position) {
        const QString &record = records.at(position);
        if (records.categoryAt(position) == m_temporaryIndex || isSentinel(record))
            continue;
        const RecordViews parts = recordViews(record);
        LineBuilder line(buffer);
        line.text(parts.path);
        // The index is copied as it stands only when the reader takes it back as the
        // same number; anything else would stop the next load at this line.
        if (isCanonicalIndex(parts.indexText))
            line.bare(parts.indexText);
        else
            line.number(writableIndex(records.categoryAt(position)));
        line.text(parts.keywords);
        line.end();
        if (buffer.size() >= kFlushSize && !flush(device, buffer))
            return deviceError(device);
    }
    if (!buffer.isEmpty() && !flush(device, buffer))
        return deviceError(device);
    return std::nullopt;
}

std::optional<CatalogFileError> CatalogFileWriter::saveTo(const QString &path) const
{
    ReplacingFile file(path);
    if (auto error = file.begin())
        return error;
    if (auto error = write(file))
        return file.writeError() ? file.writeError() : error; // the system's cause, not the device's words
    return file.commit();
}
