#include "CatalogTestSupport.h"

#include <QRandomGenerator>
#include <QTest>

#include <functional>

// Whatever catalog the program holds, the next save must read back as the same catalog.
class TestCatalogRoundTrip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void randomCatalogsReadBackUnchanged();
    void treesOfRepeatedNamesKeepTheirShape();
};

namespace {

QStringList categoriesOf(const Catalog &catalog)
{
    QStringList list;
    for (int i = 1; i <= catalog.tree().nodeCount(); ++i) {
        const CategoryNode *node = catalog.tree().node(i);
        list << (node->parent ? node->parent->name + QLatin1Char('\\') : QString()) + node->name;
    }
    return list;
}

// The tree as an unordered one: each category with its files and, sorted, its
// sub-categories; equal for trees of the same shape whatever their index order.
QString shapeBelow(const Catalog &catalog, const std::vector<CategoryNode *> &nodes)
{
    QStringList parts;
    for (const CategoryNode *node : nodes) {
        QStringList files;
        for (int i = 0; i < catalog.records().size(); ++i) {
            if (catalog.records().categoryAt(i) == node->index)
                files.append(ParseFileRecord(catalog.records().at(i)).path);
        }
        files.sort();
        parts.append(node->name + QLatin1Char('[') + files.join(QLatin1Char(',')) + QLatin1Char(']')
                     + QLatin1Char('(') + shapeBelow(catalog, node->children) + QLatin1Char(')'));
    }
    parts.sort();
    return parts.join(QLatin1Char(' '));
}

// Whether some order of the category lines reads back as this tree, each line placed
// under the latest line of its parent's name before it; and whether index order does.
struct Orders {
    bool some = false;
    bool index = false;
};

Orders readableOrders(const CategoryTree &tree)
{
    const int count = tree.nodeCount();
    std::vector<int> order;
    std::vector<char> used(std::size_t(count + 1), 0);
    auto readsRight = [&](int node) {
        const CategoryNode *parent = tree.node(node)->parent;
        if (!parent)
            return true;
        for (auto before = order.rbegin(); before != order.rend(); ++before) {
            if (tree.node(*before)->name == parent->name)
                return *before == parent->index;
        }
        return false;
    };
    std::function<bool()> extend = [&]() {
        if (int(order.size()) == count)
            return true;
        for (int node = 1; node <= count; ++node) {
            const CategoryNode *parent = tree.node(node)->parent;
            if (used[std::size_t(node)] || (parent && !used[std::size_t(parent->index)]) || !readsRight(node))
                continue;
            used[std::size_t(node)] = 1;
            order.push_back(node);
            if (extend())
                return true;
            order.pop_back();
            used[std::size_t(node)] = 0;
        }
        return false;
    };
    Orders orders;
    orders.index = true;
    for (int node = 1; node <= count; ++node) {
        orders.index = orders.index && readsRight(node);
        order.push_back(node);
    }
    order.clear();
    orders.some = extend();
    return orders;
}

} // namespace

using CatalogTest::kAllExist;
using CatalogTest::recordsOf;
using CatalogTest::shape;
using CatalogTest::written;

void TestCatalogRoundTrip::randomCatalogsReadBackUnchanged()
{
    QRandomGenerator random(20261207);
    // Every printable ASCII character, and some beyond, one of them outside 16 bits.
    QString printable;
    for (char16_t c = 0x20; c < 0x7f; ++c)
        printable += QChar(c);
    printable += QStringLiteral("éßΩ€\U0001D11E");
    auto randomText = [&](int maxLength, QStringView forbidden) {
        QString text;
        const int length = int(random.bounded(maxLength + 1));
        while (text.size() < length) {
            const qsizetype at = random.bounded(printable.size());
            const qsizetype size = printable.at(at).isSurrogate() ? 2 : 1;
            const QStringView c = QStringView(printable).mid(printable.at(at).isLowSurrogate() ? at - 1 : at, size);
            if (!forbidden.contains(c))
                text += c;
        }
        return text;
    };
    // Index texts a record may carry, with the index they read as; each is written as
    // that number and comes back in its plain form.
    const QList<std::pair<QString, int>> oddIndexes{
        {"", 0}, {"abc", 0}, {"07", 7}, {"+2", 2}, {" 1", 1}, {"3x", 3}, {"-0", 0}, {"40000", 0}, {"-4", -4}, {"99", 99}};
    for (int round = 0; round < 300; ++round) {
        Catalog catalog;
        const int categories = 1 + int(random.bounded(6));
        QStringList used;
        for (int i = 1; i <= categories; ++i) {
            // Names from older files may hold "/"; a sub-category may be named "Temporary".
            QString name = random.bounded(4) ? randomText(8, u"\"\\") : QStringLiteral("C");
            if (name.isEmpty() || (i > 1 && random.bounded(8) == 0))
                name = i > 1 ? Catalog::kTemporaryName : QStringLiteral("C");
            // Names repeated in the tree are the other test's.
            if (used.contains(name))
                name += QString::number(i);
            used.append(name);
            if (i > 1 && (name == Catalog::kTemporaryName || random.bounded(2)))
                catalog.tree().addChild(int(random.bounded(1, i)), name);
            else
                catalog.tree().addRoot(name);
        }
        QStringList expected;
        bool plainIndexes = true;
        const int records = int(random.bounded(20));
        for (int r = 0; r < records; ++r) {
            const QString path = QStringLiteral("/f/%1/").arg(r) + randomText(10, u"\"") + QStringLiteral(".jpg");
            const QString keywords = randomText(12, u"/>\"");
            QString indexText = QString::number(1 + random.bounded(categories));
            int index = indexText.toInt();
            if (random.bounded(4) == 0) {
                std::tie(indexText, index) = oddIndexes.at(random.bounded(oddIndexes.size()));
                plainIndexes = false;
            }
            catalog.records().append(path + QLatin1Char('/') + indexText + QLatin1Char('>') + keywords);
            expected.append(path + QLatin1Char('/') + QString::number(index) + QLatin1Char('>') + keywords);
        }
        QByteArray file = written(catalog);
        Catalog reloaded;
        const CatalogLoadReport report = OpenFileList(QByteArrayView(file), reloaded, kAllExist);
        QVERIFY2(!report.stop, file.constData());
        QCOMPARE(report.keywordsMended + report.categoryNamesMended + report.filesWithoutCategory
                     + report.filesOfUnnamedCategories + int(report.categoriesPutAtTopLevel.size()),
                 0);
        QCOMPARE(recordsOf(reloaded), expected);
        // A sub-category comes back under the last node of its parent's name: with names
        // that differ, the same parent.
        QCOMPARE(categoriesOf(reloaded), categoriesOf(catalog));
        if (plainIndexes)
            QCOMPARE(written(reloaded), file); // saving it again writes the same file
    }
}

void TestCatalogRoundTrip::treesOfRepeatedNamesKeepTheirShape()
{
    // Few names, so that a parent's name is often repeated elsewhere in the tree.
    QRandomGenerator random(20261208);
    const QStringList names{"A", "B", "R"};
    int reordered = 0;
    int unreadable = 0;
    for (int round = 0; round < 3000; ++round) {
        Catalog catalog;
        const int categories = 1 + int(random.bounded(7));
        for (int i = 1; i <= categories; ++i) {
            const QString name = names.at(random.bounded(names.size()));
            const int parent = int(random.bounded(i));
            parent ? catalog.tree().addChild(parent, name) : catalog.tree().addRoot(name);
            catalog.records().append(MakeFileRecord(QStringLiteral("/f%1.jpg").arg(i), i, QString()));
        }
        const Orders orders = readableOrders(catalog.tree());
        const QByteArray file = written(catalog);
        Catalog reloaded;
        QVERIFY(!OpenFileList(QByteArrayView(file), reloaded, kAllExist).stop);
        QCOMPARE(reloaded.tree().nodeCount(), categories);
        if (orders.index) {
            QCOMPARE(shape(reloaded), shape(catalog)); // the lines as they always were written
            QCOMPARE(recordsOf(reloaded), recordsOf(catalog));
        } else if (orders.some) {
            QCOMPARE(shapeBelow(reloaded, reloaded.tree().roots()), shapeBelow(catalog, catalog.tree().roots()));
            QCOMPARE(written(reloaded), file);
            ++reordered;
        } else {
            ++unreadable;
        }
    }
    QVERIFY(reordered > 100 && unreadable > 0); // the generator reaches every kind of tree
}

QTEST_GUILESS_MAIN(TestCatalogRoundTrip)
#include "tst_catalogroundtrip.moc"
