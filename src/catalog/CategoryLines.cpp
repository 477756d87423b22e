#include "CategoryLines.h"

#include "OpenFileList.h"

CategoryLines::CategoryLines(CategoryTree &tree, CatalogLoadReport &report)
    : m_tree(tree)
    , m_report(report)
{
}

bool CategoryLines::mendName(QString &name)
{
    bool mended = mendPathPart(name);
    if (name.contains(QLatin1Char('\\'))) {
        name.replace(QLatin1Char('\\'), QLatin1Char(' '));
        mended = true;
    }
    return mended;
}

bool CategoryLines::mendPathPart(QString &pathPart)
{
    // The same look-alikes the writer would put in their place.
    bool mended = false;
    for (QChar &c : pathPart) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            c = c == QLatin1Char('"') ? QLatin1Char('\'') : QLatin1Char(' ');
            mended = true;
        }
    }
    return mended;
}

void CategoryLines::buildTree(const std::vector<CategoryLine> &lines)
{
    QHash<QString, int> lastIndexByName; // nodes are only added here, so the latest wins
    int temporaryRoots = 0;
    for (const CategoryLine &line : lines) {
        if (line.name.isEmpty()) {
            // Nothing to show it by; its files get a category of their own if it has any.
            m_unnamed.insert(line.storedIndex, 0);
            continue;
        }
        const qsizetype separators = line.pathPart.count(QLatin1Char('\\'));
        int parent = 0;
        if (separators == 1)
            parent = lastIndexByName.value(line.pathPart.section(QLatin1Char('\\'), 0, 0), 0);
        // A sub-category whose parent the file does not hold before it, or a path the
        // tree cannot follow, still keeps its files: at the top level.
        QString name = line.name;
        if (separators > 0 && parent == 0) {
            m_report.categoriesPutAtTopLevel.append(line.pathPart);
            // At the top, "Temporary" would be taken for the system category and its
            // files would not be saved: it is named after its path instead.
            if (name == Catalog::kTemporaryName)
                name = QString(line.pathPart).replace(QLatin1Char('\\'), QLatin1Char(' '));
        }
        // Only one top-level "Temporary" can be the system category, whose files a save
        // leaves out; any further one is the user's, numbered so it is not taken for it.
        if (parent == 0 && name == Catalog::kTemporaryName && ++temporaryRoots > 1) {
            name += QLatin1Char(' ') + QString::number(temporaryRoots);
            m_report.temporaryCategoriesRenamed.append(name);
        }
        const int created = parent ? m_tree.addChild(parent, name) : m_tree.addRoot(name);
        m_tree.node(created)->tag = line.storedIndex;
        lastIndexByName.insert(line.name, created);
    }
    m_tags.emplace(m_tree);
    // Each line makes at most one node, so an index beyond the line count names none.
    m_indexBound = int(lines.size());
}

std::optional<int> CategoryLines::nodeFor(int storedIndex) const
{
    if (const int node = m_tags->newIndexFor(storedIndex))
        return node;
    if (!m_unnamed.contains(storedIndex) && (storedIndex <= 0 || storedIndex > m_indexBound))
        return storedIndex;
    return std::nullopt;
}

int CategoryLines::mendedIndexFor(int storedIndex)
{
    const auto unnamed = m_unnamed.find(storedIndex);
    if (unnamed == m_unnamed.end()) {
        // No line holds the index, but a node may have it after the load: kept, it
        // would show the record under a category it was never filed under.
        ++m_report.filesWithoutCategory;
        return 0;
    }
    ++m_report.filesOfUnnamedCategories;
    if (*unnamed == 0) {
        *unnamed = m_tree.addRoot(kUnnamedCategoryName);
        m_tree.node(*unnamed)->tag = storedIndex;
    }
    return *unnamed;
}
