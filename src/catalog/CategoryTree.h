#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

struct CategoryNode {
    QString name;
    CategoryNode *parent = nullptr;
    std::vector<CategoryNode *> children; // display order: order of addition
    std::optional<int> tag; // previous index during renumbering; empty for new nodes
    int index = 0; // 1-based position in creation order: the category index

    bool isRoot() const { return parent == nullptr; }
    int row() const; // position among its siblings
};

// The category tree. A category's index is its node's position in creation order,
// counted from 1; removing nodes shifts the indexes of every later node down.
// Signals let views mirror the tree without holding any of it.
class CategoryTree : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~CategoryTree() override;

    int nodeCount() const { return int(m_nodes.size()); }
    bool isEmpty() const { return m_nodes.empty(); }
    CategoryNode *node(int index) const; // nullptr when out of range
    const std::vector<CategoryNode *> &roots() const { return m_roots; }

    int addRoot(const QString &name);
    int addChild(int parentIndex, const QString &name);
    void rename(int index, const QString &name);
    // Removes the node and everything below it; later nodes take the freed indexes.
    void removeSubtree(int index);
    void clear();
    // Takes every node of the other tree, which is left empty; one reset for views.
    void takeNodesFrom(CategoryTree &other);

    // Full path of names from the root down, joined with "\".
    QString fullPath(int index) const;
    int depth(int index) const;
    // Index of the last-created top-level node with exactly this name, or -1.
    int lastRootIndexNamed(const QString &name) const;
    // The node and every node below it, depth first with children before their
    // parent: the order in which a category deletion visits them.
    std::vector<int> subtreeChildrenFirst(int index) const;

Q_SIGNALS:
    void aboutToBeReset();
    void wasReset();
    void aboutToAddNode(CategoryNode *parent, int row);
    void nodeAdded(CategoryNode *node);
    void aboutToRemoveNode(CategoryNode *node);
    void nodeRemoved();
    void nodeRenamed(CategoryNode *node);

private:
    int addNode(CategoryNode *parent, const QString &name);
    void renumberFrom(std::size_t position);

    std::vector<std::unique_ptr<CategoryNode>> m_nodes; // creation order
    std::vector<CategoryNode *> m_roots;
};
