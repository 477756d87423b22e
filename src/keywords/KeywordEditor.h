#pragma once

#include <QString>
#include <QStringList>

class Catalog;

// Gives every record of the selected files the same keywords.
namespace KeywordEditor {

enum class Outcome { Updated, IllegalCharacters, NoRecordIdentified };

struct Result {
    Outcome outcome = Outcome::Updated;
    int recordsUpdated = 0;
};

// The characters the record format or the catalog file cannot carry in keywords.
bool hasIllegalCharacters(const QString &keywords);

// selectedPaths: the paths of the selected rows. Records are matched by their path,
// the text before the record's last "/", exactly and case-sensitively. The index
// text of each record is kept as it stands.
Result UpdateKeywords(Catalog &catalog, const QStringList &selectedPaths, const QString &keywords);

} // namespace KeywordEditor
