#include "CategoryTreeModel.h"

#include "CategoryTree.h"

#include <QApplication>
#include <QStyle>

#include <algorithm>

CategoryTreeModel::CategoryTreeModel(CategoryTree &tree, QObject *parent)
    : QAbstractItemModel(parent)
    , m_tree(tree)
{
    // Widgets may be missing (a headless tool); the tree then simply shows no icons.
    if (auto *application = qobject_cast<QApplication *>(QCoreApplication::instance())) {
        m_rootIcon = application->style()->standardIcon(QStyle::SP_DriveHDIcon);
        m_subCategoryIcon = application->style()->standardIcon(QStyle::SP_DirIcon);
    }
    connect(&tree, &CategoryTree::aboutToBeReset, this, &CategoryTreeModel::beginResetModel);
    connect(&tree, &CategoryTree::wasReset, this, &CategoryTreeModel::endResetModel);
    connect(&tree, &CategoryTree::aboutToAddNode, this, &CategoryTreeModel::onAboutToAddNode);
    connect(&tree, &CategoryTree::nodeAdded, this, &CategoryTreeModel::endInsertRows);
    connect(&tree, &CategoryTree::aboutToRemoveNode, this, &CategoryTreeModel::onAboutToRemoveNode);
    connect(&tree, &CategoryTree::nodeRemoved, this, &CategoryTreeModel::endRemoveRows);
    connect(&tree, &CategoryTree::nodeRenamed, this, &CategoryTreeModel::onNodeRenamed);
}

QModelIndex CategoryTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (!hasIndex(row, column, parent))
        return {};
    const auto &children = childrenOf(nodeAt(parent));
    return createIndex(row, column, children[std::size_t(row)]);
}

QModelIndex CategoryTreeModel::parent(const QModelIndex &child) const
{
    const CategoryNode *node = nodeAt(child);
    if (!node || !node->parent)
        return {};
    return indexForNode(node->parent);
}

int CategoryTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    return int(childrenOf(nodeAt(parent)).size());
}

int CategoryTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant CategoryTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this)
        return {};
    const CategoryNode *node = nodeAt(index);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return node->name;
    case Qt::DecorationRole: {
        const QIcon &icon = node->isRoot() ? m_rootIcon : m_subCategoryIcon;
        return icon.isNull() ? QVariant() : QVariant(icon);
    }
    case CategoryIndexRole:
        return node->index;
    }
    return {};
}

int CategoryTreeModel::categoryIndexAt(const QModelIndex &index) const
{
    const CategoryNode *node = nodeAt(index);
    return node ? node->index : 0;
}

QModelIndex CategoryTreeModel::indexForCategory(int categoryIndex) const
{
    return indexForNode(m_tree.node(categoryIndex));
}

void CategoryTreeModel::setIcons(const QIcon &rootIcon, const QIcon &subCategoryIcon)
{
    m_rootIcon = rootIcon;
    m_subCategoryIcon = subCategoryIcon;
    // Decorations of every node change; a layout change repaints without losing
    // the views' expansion or selection.
    Q_EMIT layoutAboutToBeChanged();
    Q_EMIT layoutChanged();
}

CategoryNode *CategoryTreeModel::nodeAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<CategoryNode *>(index.internalPointer());
}

QModelIndex CategoryTreeModel::indexForNode(CategoryNode *node) const
{
    if (!node)
        return {};
    return createIndex(rowOf(node), 0, node);
}

int CategoryTreeModel::rowOf(const CategoryNode *node) const
{
    if (node->parent)
        return node->row();
    const auto &roots = m_tree.roots();
    return int(std::find(roots.begin(), roots.end(), node) - roots.begin());
}

const std::vector<CategoryNode *> &CategoryTreeModel::childrenOf(const CategoryNode *node) const
{
    return node ? node->children : m_tree.roots();
}

void CategoryTreeModel::onAboutToAddNode(CategoryNode *parent, int row)
{
    beginInsertRows(indexForNode(parent), row, row);
}

void CategoryTreeModel::onAboutToRemoveNode(CategoryNode *node)
{
    const int row = rowOf(node);
    beginRemoveRows(indexForNode(node->parent), row, row);
}

void CategoryTreeModel::onNodeRenamed(CategoryNode *node)
{
    const QModelIndex changed = indexForNode(node);
    Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole, Qt::ToolTipRole});
}
