#include "CategoryLineOrder.h"

#include "CategoryTree.h"

#include <QHash>
#include <QString>

#include <algorithm>
#include <functional>

namespace {

// The name as the file stores it and the reader compares it.
QString storedName(QString name)
{
    return name.replace(QLatin1Char('"'), QLatin1Char('\''))
        .replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
}

// Replays the reader: "current" is, per name, the latest category of that name read so
// far. A line is placed right when its parent is the current one of the parent's name;
// placing a category closes the previous one of its name for good, so that is safe only
// once all of the previous one's children are placed.
class OrderSearch
{
public:
    OrderSearch(const CategoryTree &tree, int skipped)
        : m_count(tree.nodeCount())
        , m_parent(std::size_t(m_count + 1), 0)
        , m_name(std::size_t(m_count + 1), 0)
        , m_pending(std::size_t(m_count + 1), 0)
        , m_placedAt(std::size_t(m_count + 1), kNotPlaced)
    {
        QHash<QString, int> names;
        for (int i = 1; i <= m_count; ++i) {
            const CategoryNode *node = tree.node(i);
            m_parent[std::size_t(i)] = node->parent ? node->parent->index : 0;
            const QString name = storedName(node->name);
            auto known = names.constFind(name);
            if (known == names.cend())
                known = names.insert(name, int(names.size()));
            m_name[std::size_t(i)] = known.value();
            if (node->parent)
                ++m_pending[std::size_t(node->parent->index)];
        }
        m_current.assign(std::size_t(names.size()), 0);
        m_toPlace = m_count;
        if (skipped >= 1 && skipped <= m_count) {
            // Left out of the file, it is as if read before everything else: nothing
            // the reader finds by its name can be it.
            place(skipped);
            m_placedAt[std::size_t(skipped)] = kSkipped;
            --m_toPlace;
        }
        m_start = m_order.size();
        m_budget = std::max(2 * m_count + 64, 20'000'000 / (m_count + 1));
    }

    bool indexOrderReadsBack()
    {
        bool right = true;
        for (int i = 1; i <= m_count && right; ++i) {
            if (m_placedAt[std::size_t(i)] == kNotPlaced) {
                right = placeable(i);
                place(i);
            }
        }
        while (m_order.size() > m_start)
            unplace();
        return right;
    }

    std::vector<int> find()
    {
        if (!search())
            placeNearest();
        return std::vector<int>(m_order.begin() + qsizetype(m_start), m_order.end());
    }

private:
    static constexpr int kNotPlaced = -1;
    static constexpr int kSkipped = -2;

    bool isPlaced(int node) const { return m_placedAt[std::size_t(node)] != kNotPlaced; }
    bool ready(int node) const
    {
        const int parent = m_parent[std::size_t(node)];
        return !isPlaced(node) && (parent == 0 || isPlaced(parent));
    }
    bool placeable(int node) const
    {
        const int parent = m_parent[std::size_t(node)];
        return parent == 0 || m_current[std::size_t(m_name[std::size_t(parent)])] == parent;
    }
    bool safe(int node) const
    {
        // A category named like its parent may close the parent once it is the last child.
        const int previous = m_current[std::size_t(m_name[std::size_t(node)])];
        const int stillOpen = previous == m_parent[std::size_t(node)] ? 1 : 0;
        return previous == 0 || m_pending[std::size_t(previous)] == stillOpen;
    }
    // Children of the latest placed category first, so that each is finished before
    // another of its name is needed; then index order, the order of today's files.
    long long priority(int node) const
    {
        // Those of the category left out can only come before any other of its name.
        const int parent = m_parent[std::size_t(node)];
        long long parentAt = parent ? m_placedAt[std::size_t(parent)] : kNotPlaced;
        if (parentAt == kSkipped)
            parentAt = m_count;
        return -(parentAt + 2) * (m_count + 1) + node;
    }

    void place(int node)
    {
        int &current = m_current[std::size_t(m_name[std::size_t(node)])];
        m_replaced.push_back(current);
        current = node;
        m_placedAt[std::size_t(node)] = int(m_order.size());
        m_order.push_back(node);
        if (const int parent = m_parent[std::size_t(node)])
            --m_pending[std::size_t(parent)];
    }
    void unplace()
    {
        const int node = m_order.back();
        m_order.pop_back();
        m_current[std::size_t(m_name[std::size_t(node)])] = m_replaced.back();
        m_replaced.pop_back();
        m_placedAt[std::size_t(node)] = kNotPlaced;
        if (const int parent = m_parent[std::size_t(node)])
            ++m_pending[std::size_t(parent)];
    }

    // The first is the one preferred; the rest are put in order only when asked.
    std::vector<int> candidates(bool rightOnly) const
    {
        std::vector<int> found;
        for (int i = 1; i <= m_count; ++i) {
            if (ready(i) && (!rightOnly || (placeable(i) && safe(i))))
                found.push_back(i);
        }
        if (!found.empty())
            std::iter_swap(found.begin(), std::min_element(found.begin(), found.end(), m_before));
        return found;
    }

    // Depth first over the placements that keep every line right; a place that no
    // such placement can leave is given up at once. Bounded, for a tree of thousands.
    bool search()
    {
        if (int(m_order.size() - m_start) == m_toPlace)
            return true;
        if (--m_budget < 0)
            return false;
        std::vector<int> next = candidates(true);
        for (std::size_t k = 0; k < next.size(); ++k) {
            if (k == 1)
                std::sort(next.begin() + 1, next.end(), m_before);
            const int node = next[k];
            place(node);
            if (search())
                return true;
            unplace();
            if (m_budget < 0)
                return false;
        }
        return false;
    }

    // Every line still placed, right where it can be, by the same preferences.
    void placeNearest()
    {
        while (m_order.size() > m_start)
            unplace();
        while (int(m_order.size() - m_start) < m_toPlace) {
            std::vector<int> next = candidates(true);
            if (next.empty()) {
                next = candidates(false);
                std::sort(next.begin(), next.end(), m_before);
                const auto right = std::find_if(next.begin(), next.end(), [this](int node) { return placeable(node); });
                if (right != next.end())
                    std::iter_swap(next.begin(), right);
            }
            place(next.front());
        }
    }

    int m_count;
    std::vector<int> m_parent;
    std::vector<int> m_name;
    std::vector<int> m_pending; // children not placed yet
    std::vector<int> m_placedAt;
    std::vector<int> m_current; // per name
    std::vector<int> m_order;
    std::vector<int> m_replaced; // what each placement replaced as current
    std::size_t m_start = 0;
    int m_toPlace = 0;
    int m_budget = 0;
    const std::function<bool(int, int)> m_before = [this](int a, int b) { return priority(a) < priority(b); };
};

} // namespace

namespace CategoryLineOrder {

std::optional<std::vector<int>> forSave(const CategoryTree &tree, int skipped)
{
    OrderSearch search(tree, skipped);
    if (search.indexOrderReadsBack())
        return std::nullopt;
    return search.find();
}

} // namespace CategoryLineOrder
