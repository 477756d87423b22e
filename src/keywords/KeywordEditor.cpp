#include "KeywordEditor.h"

#include "Catalog.h"
#include "FileRecord.h"


namespace KeywordEditor {

bool hasIllegalCharacters(const QString &keywords)
{
    for (const QChar c : keywords) {
        if (c == QLatin1Char('>') || c == QLatin1Char('"') || c == QLatin1Char('\'') || c == QLatin1Char('/')
            || c == QLatin1Char('\\'))
            return true;
    }
    return false;
}

Result UpdateKeywords(Catalog &catalog, const QStringList &selectedPaths, const QString &keywords)
{
    RecordList &records = catalog.records();
    records.clearMarks();
    if (hasIllegalCharacters(keywords))
        return {Outcome::IllegalCharacters, 0};

    int updated = 0;
    for (const int position : records.positionsOfPaths(selectedPaths)) {
        const QString &record = records.at(position);
        const RecordViews parts = recordViews(record);
        QString rewritten;
        rewritten.reserve(parts.path.size() + parts.indexText.size() + keywords.size() + 2);
        rewritten.append(parts.path).append(QLatin1Char('/')).append(parts.indexText).append(QLatin1Char('>')).append(keywords);
        records.replaceKeepingPath(position, rewritten);
        ++updated;
    }
    if (updated == 0)
        return {Outcome::NoRecordIdentified, 0};
    records.clearMarks();
    catalog.markChanged();
    return {Outcome::Updated, updated};
}

} // namespace KeywordEditor
