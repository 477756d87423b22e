#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class ExtensionTable;

// One walk's worth of searching for one wanted extension.
struct ScanPass {
    // Without a dot ("jpg"); "*" for every file.
    QString extension;
    // True when entry 1 of the extension table read "*" as this pass ran: files whose
    // names have no extension are then passed over, whatever the wanted extension.
    bool skipFilesWithoutExtension = false;

    bool operator==(const ScanPass &other) const
    {
        return extension == other.extension && skipFilesWithoutExtension == other.skipFilesWithoutExtension;
    }
};

// The passes the Search and Search All Files buttons run, in their order.
namespace ScanPasses {

// The seventeen check boxes of the scan dialog, in the order Search runs them.
const QStringList &builtInExtensions();

// Search: one pass per checked built-in extension (given in any order, in lower case
// as in builtInExtensions()), in the fixed order, then one pass per entry of the table.
// The table's entries are emptied one by one as their passes run, so only the
// first additional pass can still see "*" in entry 1.
std::vector<ScanPass> forMediaScan(const QStringList &checkedExtensions, const ExtensionTable &table);

// Search All Files: one pass over every file that has an extension.
std::vector<ScanPass> forAllFilesScan();

// Whether a file whose name has the given extension is found by the pass.
bool matches(const ScanPass &pass, QStringView fileExtension);

} // namespace ScanPasses
