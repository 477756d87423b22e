#pragma once

#include <QAbstractItemModel>
#include <QIcon>

class CategoryTree;
struct CategoryNode;

// The category tree as a Qt model. It holds nothing of its own: every index points
// at a node of the tree, and the tree's signals keep views in step with it. Roots
// are categories and show a drive icon, deeper nodes are sub-categories and show a
// folder icon.
class CategoryTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum Role {
        CategoryIndexRole = Qt::UserRole + 1,
    };

    explicit CategoryTreeModel(CategoryTree &tree, QObject *parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // The category index of the node, 0 for no node (which matches no category).
    int categoryIndexAt(const QModelIndex &index) const;
    QModelIndex indexForCategory(int categoryIndex) const;

    // The icons to show; both default to the style's drive and folder icons.
    void setIcons(const QIcon &rootIcon, const QIcon &subCategoryIcon);

private:
    CategoryNode *nodeAt(const QModelIndex &index) const;
    QModelIndex indexForNode(CategoryNode *node) const;
    int rowOf(const CategoryNode *node) const;
    const std::vector<CategoryNode *> &childrenOf(const CategoryNode *node) const;

    void onAboutToAddNode(CategoryNode *parent, int row);
    void onAboutToRemoveNode(CategoryNode *node);
    void onNodeRenamed(CategoryNode *node);

    CategoryTree &m_tree;
    QIcon m_rootIcon;
    QIcon m_subCategoryIcon;
};
