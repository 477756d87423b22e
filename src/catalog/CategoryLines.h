#pragma once

#include "Catalog.h"

#include <QHash>
#include <QString>

#include <optional>
#include <vector>

struct CatalogLoadReport;

// One category line of a catalog file, as read.
struct CategoryLine {
    QString name;
    QString pathPart;
    int storedIndex = 0;
};

// Rebuilds the category tree from a file's category lines and then files each record
// under the node that stands for the line it was filed under, so that no record ever
// shows under a category the file did not file it under.
class CategoryLines
{
public:
    // The category that takes the files of a category line without a name.
    static inline const QString kUnnamedCategoryName = QStringLiteral("Unnamed category");

    // The tree must be empty; what had to be mended goes into the report.
    CategoryLines(CategoryTree &tree, CatalogLoadReport &report);

    // Makes a name one the file can store again: a "\" would read as a path step, a
    // double quote or a line break would end the item.
    static bool mendName(QString &name);
    static bool mendPathPart(QString &pathPart);

    void buildTree(const std::vector<CategoryLine> &lines);
    // The index a record filed under storedIndex takes in the rebuilt tree: the node
    // built from the line of that index, or the index itself when it names no node
    // now or later. Nothing when the record's index must be mended.
    std::optional<int> nodeFor(int storedIndex) const;
    // The mended index of a record that nodeFor gave nothing for: the node made for the
    // files of a line without a name, else no category (0). Noted in the report.
    int mendedIndexFor(int storedIndex);

private:
    CategoryTree &m_tree;
    CatalogLoadReport &m_report;
    std::optional<Catalog::TagMap> m_tags;
    // Stored indexes of lines without a name, and the node made for each once a record needs it.
    QHash<int, int> m_unnamed;
    // Every index up to this one may name a node after the load.
    int m_indexBound = 0;
};
