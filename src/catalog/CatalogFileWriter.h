#pragma once

#include "FileAccess.h"

#include <QString>

#include <optional>

class Catalog;
class QIODevice;

// Writes the catalog in the ".kvd" format, leaving out the system category
// "Temporary" and its records, and the sentinel record.
class CatalogFileWriter
{
public:
    // temporaryIndex: the index of the system category, or -1.
    CatalogFileWriter(const Catalog &catalog, int temporaryIndex);

    // The number of category lines the file will hold.
    int categoryLineCount() const;

    std::optional<CatalogFileError> write(QIODevice &device) const;

    // Writes beside the target and replaces it only when the new file is complete,
    // so a failure leaves the old file as it was; the replaced file's permissions and
    // owner stay.
    std::optional<CatalogFileError> saveTo(const QString &path) const;

private:
    bool isWritten(int nodeIndex) const;

    const Catalog &m_catalog;
    int m_temporaryIndex;
};
