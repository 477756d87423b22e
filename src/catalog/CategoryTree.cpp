#include "CategoryTree.h"

#include <algorithm>

int CategoryNode::row() const
{
    if (!parent)
        return -1; // callers ask the tree for root rows
    const auto &siblings = parent->children;
    return int(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

CategoryTree::~CategoryTree() = default;

CategoryNode *CategoryTree::node(int index) const
{
    if (index < 1 || index > nodeCount())
        return nullptr;
    return m_nodes[std::size_t(index - 1)].get();
}

int CategoryTree::addRoot(const QString &name)
{
    return addNode(nullptr, name);
}

int CategoryTree::addChild(int parentIndex, const QString &name)
{
    CategoryNode *parent = node(parentIndex);
    if (!parent)
        return 0;
    return addNode(parent, name);
}

int CategoryTree::addNode(CategoryNode *parent, const QString &name)
{
    auto &siblings = parent ? parent->children : m_roots;
    Q_EMIT aboutToAddNode(parent, int(siblings.size()));
    auto created = std::make_unique<CategoryNode>();
    created->name = name;
    created->parent = parent;
    created->index = nodeCount() + 1;
    siblings.push_back(created.get());
    m_nodes.push_back(std::move(created));
    Q_EMIT nodeAdded(m_nodes.back().get());
    return nodeCount();
}

void CategoryTree::rename(int index, const QString &name)
{
    if (CategoryNode *n = node(index)) {
        n->name = name;
        Q_EMIT nodeRenamed(n);
    }
}

void CategoryTree::removeSubtree(int index)
{
    CategoryNode *top = node(index);
    if (!top)
        return;
    Q_EMIT aboutToRemoveNode(top);
    auto &siblings = top->parent ? top->parent->children : m_roots;
    siblings.erase(std::find(siblings.begin(), siblings.end(), top));

    std::vector<char> doomed(m_nodes.size(), 0);
    for (int i : subtreeChildrenFirst(index))
        doomed[std::size_t(i - 1)] = 1;
    const auto firstDoomed = std::size_t(index - 1);
    std::size_t kept = firstDoomed;
    for (std::size_t i = firstDoomed; i < m_nodes.size(); ++i) {
        if (!doomed[i])
            m_nodes[kept++] = std::move(m_nodes[i]);
    }
    m_nodes.resize(kept);
    renumberFrom(firstDoomed);
    Q_EMIT nodeRemoved();
}

void CategoryTree::clear()
{
    Q_EMIT aboutToBeReset();
    m_roots.clear();
    m_nodes.clear();
    Q_EMIT wasReset();
}

void CategoryTree::takeNodesFrom(CategoryTree &other)
{
    Q_EMIT aboutToBeReset();
    m_roots = std::move(other.m_roots);
    m_nodes = std::move(other.m_nodes);
    other.m_roots.clear();
    other.m_nodes.clear();
    Q_EMIT wasReset();
}

void CategoryTree::renumberFrom(std::size_t position)
{
    for (std::size_t i = position; i < m_nodes.size(); ++i)
        m_nodes[i]->index = int(i + 1);
}

QString CategoryTree::fullPath(int index) const
{
    const CategoryNode *n = node(index);
    if (!n)
        return {};
    QString path = n->name;
    for (const CategoryNode *p = n->parent; p; p = p->parent)
        path.prepend(p->name + QLatin1Char('\\'));
    return path;
}

int CategoryTree::depth(int index) const
{
    int d = 0;
    for (const CategoryNode *n = node(index); n; n = n->parent)
        ++d;
    return d;
}

int CategoryTree::lastRootIndexNamed(const QString &name) const
{
    int last = -1;
    for (const CategoryNode *root : m_roots) {
        if (root->name == name)
            last = qMax(last, root->index);
    }
    return last;
}

std::vector<int> CategoryTree::subtreeChildrenFirst(int index) const
{
    std::vector<int> order;
    const CategoryNode *top = node(index);
    if (!top)
        return order;
    // Iterative post-order walk: deep trees must not exhaust the stack.
    std::vector<std::pair<const CategoryNode *, std::size_t>> stack{{top, 0}};
    while (!stack.empty()) {
        auto &[current, next] = stack.back();
        if (next < current->children.size()) {
            const CategoryNode *child = current->children[next++];
            stack.push_back({child, 0});
        } else {
            order.push_back(current->index);
            stack.pop_back();
        }
    }
    return order;
}
