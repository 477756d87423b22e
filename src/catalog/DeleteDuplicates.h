#pragma once

#include <QSet>
#include <QString>

#include <algorithm>
#include <vector>

// Removes rows until no two share a path, keeping of each group of equal paths
// the row that comes last; the survivors keep their order. Linear in the rows.
template<typename Row, typename PathOf>
void DeleteDuplicates(std::vector<Row> &rows, PathOf pathOf)
{
    QSet<QString> seen;
    seen.reserve(qsizetype(rows.size()));
    std::vector<char> keep(rows.size(), 0);
    for (std::size_t i = rows.size(); i-- > 0;) {
        const QString &path = pathOf(rows[i]);
        if (!seen.contains(path)) {
            seen.insert(path);
            keep[i] = 1;
        }
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (keep[i]) {
            if (kept != i)
                rows[kept] = std::move(rows[i]);
            ++kept;
        }
    }
    rows.erase(rows.begin() + std::ptrdiff_t(kept), rows.end());
}
