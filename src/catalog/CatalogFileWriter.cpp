#include "CatalogFileWriter.h"

#include "Catalog.h"
#include "CatalogFileFormat.h"
#include "CategoryLineOrder.h"
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
    // Where index order would hang a category under another one of its parent's name,
    // the lines go in an order that reads back right, numbered in that order.
    const bool hasTemporary = m_temporaryIndex >= 1 && m_temporaryIndex <= tree.nodeCount();
    const std::optional<std::vector<int>> order = CategoryLineOrder::forSave(tree, hasTemporary ? m_temporaryIndex : 0);
    std::vector<int> storedIndex;
    if (order) {
        storedIndex.assign(std::size_t(tree.nodeCount() + 1), 0);
        for (std::size_t k = 0; k < order->size(); ++k)
            storedIndex[std::size_t((*order)[k])] = int(k + 1);
    }
    const int lineCount = order ? int(order->size()) : tree.nodeCount();
    for (int written = 1; written <= lineCount; ++written) {
        const int index = order ? (*order)[std::size_t(written - 1)] : written;
        if (!isWritten(index))
            continue;
        const CategoryNode *node = tree.node(index);
        // Deeper categories store only "parent\name": the reader rebuilds them by name.
        const QString pathPart = node->parent ? node->parent->name + QLatin1Char('\\') + node->name : node->name;
        LineBuilder line(buffer);
        line.text(node->name);
        line.text(pathPart);
        line.number(order ? written : index);
        line.end();
        if (buffer.size() >= kFlushSize && !flush(device, buffer))
            return deviceError(device);
    }
    // Without a system category, -1 is an index like any other that names no category.
    for (int position = 0; position < records.size(); ++position) {
        const QString &record = records.at(position);
        if ((hasTemporary && records.categoryAt(position) == m_temporaryIndex) || isSentinel(record))
            continue;
        const RecordViews parts = recordViews(record);
        const int category = records.categoryAt(position);
        LineBuilder line(buffer);
        line.text(parts.path);
        // The index is copied as it stands only when the reader takes it back as the
        // same number; anything else would stop the next load at this line.
        if (order && category >= 1 && category <= tree.nodeCount())
            line.bare(QString::number(storedIndex[std::size_t(category)]));
        else if (isCanonicalIndex(parts.indexText))
            line.bare(parts.indexText);
        else
            line.number(writableIndex(category));
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
