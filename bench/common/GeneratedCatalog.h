#pragma once

#include "Catalog.h"
#include "FileRecord.h"

#include <QString>

#include <functional>

// The catalog the benchmarks work on: 2,000 categories (every fourth a root, the
// others below it), records filed under them in turn, every third with keywords
// unless the caller says otherwise.
namespace GeneratedCatalog {

constexpr int kCategories = 2'000;

inline QString everyThirdHoliday(int i)
{
    return i % 3 ? QString() : QStringLiteral("holiday beach");
}

inline void fill(Catalog &catalog, int records, const std::function<QString(int)> &pathOf,
                 const std::function<QString(int)> &keywordsOf = everyThirdHoliday)
{
    for (int i = 0; i < kCategories; ++i) {
        if (i % 4 == 0)
            catalog.tree().addRoot(QStringLiteral("Category %1").arg(i));
        else
            catalog.tree().addChild(catalog.tree().nodeCount(), QStringLiteral("Sub %1").arg(i));
    }
    catalog.records().reserve(records);
    for (int i = 0; i < records; ++i)
        catalog.records().append(MakeFileRecord(pathOf(i), 1 + i % kCategories, keywordsOf(i)));
}

} // namespace GeneratedCatalog
