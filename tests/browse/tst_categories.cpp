#include "BrowseTestSupport.h"
#include "Catalog.h"
#include "CategoryCommands.h"
#include "CategoryTree.h"
#include "CategoryTreeModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using BrowseTest::asked;

// The category tree as a model, and the four category commands.
class TestCategories : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void treeModel();
    void commands_data();
    void commands();
    void emptyAndFullTree();

private:
    std::unique_ptr<Catalog> m_catalog;
    std::unique_ptr<ScriptedInteraction> m_ui;
    std::unique_ptr<CategoryCommands> m_commands;
    std::unique_ptr<CategoryTreeModel> m_model;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

namespace {

// One file in each category of the commands' tree: Photos(1) { Beach(3) }, Temporary(2), Music(4).
const QStringList kRecords{"/a.jpg/1>", "/b.jpg/2>", "/c.jpg/3>", "/d.jpg/4>"};

// The model's rows as text: "Photos{Holidays{2004}, Family}, Music".
QString describe(const QAbstractItemModel &model, const QModelIndex &parent = QModelIndex())
{
    QStringList rows;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        const QString children = describe(model, index);
        rows.append(index.data().toString() + (children.isEmpty() ? QString() : QLatin1Char('{') + children + QLatin1Char('}')));
    }
    return rows.join(QStringLiteral(", "));
}

QIcon solidIcon(Qt::GlobalColor color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return QIcon(pixmap);
}

} // namespace

void TestCategories::init()
{
    m_catalog = std::make_unique<Catalog>();
    m_ui = std::make_unique<ScriptedInteraction>();
    m_commands = std::make_unique<CategoryCommands>(*m_catalog, *m_ui);
    m_model = std::make_unique<CategoryTreeModel>(m_catalog->tree());
    m_tester = std::make_unique<QAbstractItemModelTester>(m_model.get(),
                                                          QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_catalog->markSaved();
}

void TestCategories::cleanup()
{
    m_tester.reset();
    m_model.reset();
    QVERIFY2(m_ui->unexpected.isEmpty(), qPrintable(m_ui->unexpected.join(QLatin1Char('\n'))));
}

void TestCategories::treeModel()
{
    const QIcon root = solidIcon(Qt::red);
    const QIcon sub = solidIcon(Qt::blue);
    m_model->setIcons(root, sub);
    CategoryTree &tree = m_catalog->tree(); // Photos(1) { Holidays(2) { 2004(4) }, Family(5) }, Music(3)
    tree.addRoot(QStringLiteral("Photos"));
    tree.addChild(1, QStringLiteral("Holidays"));
    tree.addRoot(QStringLiteral("Music"));
    tree.addChild(2, QStringLiteral("2004"));
    tree.addChild(1, QStringLiteral("Family"));
    QCOMPARE(describe(*m_model), QStringLiteral("Photos{Holidays{2004}, Family}, Music"));

    // Each category's index leads to its row and back; roots and sub-categories have their icons.
    const QStringList names{"Photos", "Holidays", "Music", "2004", "Family"};
    for (int category = 1; category <= 5; ++category) {
        const QModelIndex found = m_model->indexForCategory(category);
        QCOMPARE(found.data().toString(), names[category - 1]);
        QCOMPARE(m_model->categoryIndexAt(found), category);
        QCOMPARE(found.data(CategoryTreeModel::CategoryIndexRole).toInt(), category);
        QCOMPARE(found.data(Qt::DecorationRole).value<QIcon>().cacheKey(),
                 (category == 1 || category == 3 ? root : sub).cacheKey());
    }
    QCOMPARE(m_model->categoryIndexAt(QModelIndex()), 0);
    QVERIFY(!m_model->indexForCategory(0).isValid());
    QVERIFY(!m_model->indexForCategory(6).isValid());

    // Edits reach the views: a renamed row, one removed row for a subtree, renumbered indexes.
    const QPersistentModelIndex music = m_model->indexForCategory(3);
    QSignalSpy changed(m_model.get(), &QAbstractItemModel::dataChanged);
    QSignalSpy removed(m_model.get(), &QAbstractItemModel::rowsRemoved);

    tree.rename(4, QStringLiteral("Summer"));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first().at(0).toModelIndex(), m_model->indexForCategory(4));

    tree.removeSubtree(2); // Holidays and Summer go in one row; Music moves from 3 to 2
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed.first(), (QVariantList{QVariant::fromValue(m_model->indexForCategory(1)), 0, 0}));
    QVERIFY(music.isValid());
    QCOMPARE(m_model->categoryIndexAt(music), 2);
    QCOMPARE(music.data(CategoryTreeModel::CategoryIndexRole).toInt(), 2);
    QCOMPARE(describe(*m_model), QStringLiteral("Photos{Family}, Music"));

    tree.clear();
    QCOMPARE(m_model->rowCount(), 0);
}

void TestCategories::commands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("reply"); // to the prompt; "yes" or "no" to the question
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("asked"); // prompts, then message boxes
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QStringList>("records");
    using L = QStringList;
    const QString category = QStringLiteral("Corvanta|What is the name of the new category?|");
    const QString sub = QStringLiteral("Corvanta|What is the name of the new sub-category?|");
    const QString rename = QStringLiteral("Marlowind|What would you like to change the category's name to?|Photos");
    const QString slashes = QStringLiteral("|Critical|Ok|You cannot have the following characters in the %1 name: /\\");
    const QString quote = QStringLiteral("|Critical|Ok|You cannot have the following character in the %1 name: \"");
    const QString system = QStringLiteral("Corvanta|Critical|Ok|System category, please choose a different category name.");
    const QString select = QStringLiteral("Corvanta|None|Ok|Please select a category or sub-category");
    const QString question =
        QStringLiteral("Corvanta|Question|YesNo|Are you sure you want to delete the category and all sub catagories?");
    const QString tree = QStringLiteral("Photos{Beach}, Temporary, Music");
    const L r = kRecords;

    QTest::newRow("category: added as the last root") << "category" << 0 << "Holidays" << 5 << L{category}
                                                      << tree + ", Holidays" << r;
    QTest::newRow("category: lower-case temporary is an ordinary name") << "category" << 0 << "temporary" << 5
                                                                        << L{category} << tree + ", temporary" << r;
    QTest::newRow("category: cancelled") << "category" << 0 << "" << 0 << L{category} << tree << r;
    QTest::newRow("category: slash refused") << "category" << 0 << "Pictures/2004" << 0
                                             << L{category, "Corvanta" + slashes.arg("category's")} << tree << r;
    QTest::newRow("category: backslash refused") << "category" << 0 << "a\\b" << 0
                                                 << L{category, "Corvanta" + slashes.arg("category's")} << tree << r;
    QTest::newRow("category: double quote refused") << "category" << 0 << "My \"best\"" << 0
                                                    << L{category, "Corvanta" + quote.arg("category's")} << tree << r;
    QTest::newRow("category: Temporary refused") << "category" << 0 << "Temporary" << 0 << L{category, system} << tree
                                                 << r;

    QTest::newRow("sub-category: added under the selection") << "sub-category" << 1 << "Pier" << 5 << L{sub}
                                                             << "Photos{Beach, Pier}, Temporary, Music" << r;
    QTest::newRow("sub-category: slash refused under the older title")
        << "sub-category" << 1 << "Pictures/2004" << 0 << L{sub, "Marlowind" + slashes.arg("sub-category's")} << tree
        << r;
    QTest::newRow("sub-category: double quote refused") << "sub-category" << 1 << "\"x\"" << 0
                                                        << L{sub, "Marlowind" + quote.arg("sub-category's")} << tree << r;
    QTest::newRow("sub-category: Temporary refused") << "sub-category" << 1 << "Temporary" << 0 << L{sub, system}
                                                     << tree << r;
    QTest::newRow("sub-category: under Temporary a category is added instead")
        << "sub-category" << 2 << "Trips" << 5
        << L{category, "Marlowind|Critical|Ok|You cannot create a sub-category under 'Temporary'. A category will be "
                       "added instead."}
        << tree + ", Trips" << r;
    QTest::newRow("sub-category: nothing selected") << "sub-category" << 0 << "x" << 0 << L{select} << tree << r;

    QTest::newRow("rename: new name") << "rename" << 1 << "Holidays" << 1 << L{rename}
                                      << "Holidays{Beach}, Temporary, Music" << r;
    QTest::newRow("rename: cancelled") << "rename" << 1 << "" << 0 << L{rename} << tree << r;
    QTest::newRow("rename: slash refused") << "rename" << 1 << "a/b" << 0
                                           << L{rename, "Marlowind" + slashes.arg("category's")} << tree << r;
    QTest::newRow("rename: Temporary refused") << "rename" << 1 << "Temporary" << 0 << L{rename, system} << tree << r;
    QTest::newRow("rename: its own name kept") << "rename" << 1 << "Photos" << 1 << L{rename} << tree << r;
    // An older catalog's name with a slash is refused even when kept as it is.
    const QString acdc = QStringLiteral("Marlowind|What would you like to change the category's name to?|AC/DC");
    QTest::newRow("rename: its own name with a slash refused")
        << "rename" << 5 << "AC/DC" << 0 << L{acdc, "Marlowind" + slashes.arg("category's")}
        << tree + ", AC/DC" << r;
    QTest::newRow("rename: nothing selected") << "rename" << 0 << "x" << 0 << L{select} << tree << r;

    // Removing Photos takes Beach and their records; Temporary and Music move up to 1 and 2.
    QTest::newRow("remove: yes deletes the subtree and its records") << "remove" << 1 << "yes" << 1 << L{question}
                                                                     << "Temporary, Music"
                                                                     << L{"/b.jpg/1>", "/d.jpg/2>"};
    QTest::newRow("remove: no changes nothing") << "remove" << 1 << "no" << 0 << L{question} << tree << r;
    QTest::newRow("remove: nothing selected") << "remove" << 0 << "yes" << 0 << L{select} << tree << r;
}

void TestCategories::commands()
{
    QFETCH(QString, command);
    QFETCH(int, selected);
    QFETCH(QString, reply);
    CategoryTree &tree = m_catalog->tree();
    tree.addRoot(QStringLiteral("Photos"));
    tree.addRoot(Catalog::kTemporaryName);
    tree.addChild(1, QStringLiteral("Beach"));
    tree.addRoot(QStringLiteral("Music"));
    if (selected == 5)
        tree.addRoot(QStringLiteral("AC/DC")); // as an older catalog may hold it
    for (const QString &record : kRecords)
        m_catalog->records().append(record);
    m_catalog->markSaved();

    int result = -1;
    if (command == QLatin1String("remove")) {
        m_ui->answers = {reply == QLatin1String("yes") ? Interaction::Answer::Yes : Interaction::Answer::No};
        result = m_commands->RemoveCategory(selected) ? 1 : 0;
    } else {
        m_ui->promptAnswers = {reply};
        result = command == QLatin1String("category")       ? m_commands->AddCategory()
            : command == QLatin1String("sub-category") ? m_commands->AddSubCategory(selected)
                                                       : m_commands->RenameCategory(selected);
    }
    QTEST(result, "result");
    QTEST(asked(*m_ui), "asked");
    QTEST(describe(*m_model), "tree");
    QTEST(BrowseTest::recordsOf(*m_catalog), "records");
    QCOMPARE(m_catalog->records().markedCount(), 0);
    // Whatever changed the tree or the records is a change to save.
    QCOMPARE(m_catalog->FileListSaved(), result == 0);
}

void TestCategories::emptyAndFullTree()
{
    // With no category at all, a sub-category becomes the first category.
    m_ui->promptAnswers = {QStringLiteral("First")};
    QCOMPARE(m_commands->AddSubCategory(0), 1);
    QCOMPARE(asked(*m_ui), QStringList{"Corvanta|What is the name of the new category?|"});

    // At the limit both adding commands refuse before asking for a name.
    m_tester.reset(); // it would check the model at every one of 5000 insertions
    for (int i = 1; i < CategoryCommands::kMaxCategories; ++i)
        m_catalog->tree().addRoot(QStringLiteral("c"));
    m_ui->prompts.clear();
    QCOMPARE(m_commands->AddCategory(), 0);
    QCOMPARE(m_commands->AddSubCategory(1), 0);
    const QString full = QStringLiteral("Corvanta|Critical|Ok|A catalog holds at most 5000 categories. Please delete "
                                        "a category before adding another.");
    QCOMPARE(asked(*m_ui), (QStringList{full, full}));
    QCOMPARE(m_catalog->tree().nodeCount(), CategoryCommands::kMaxCategories);
}

QTEST_MAIN(TestCategories)
#include "tst_categories.moc"
