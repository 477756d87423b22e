#include "Catalog.h"
#include "CategoryCommands.h"
#include "FileRecord.h"
#include "ScriptedInteraction.h"

#include <QTest>

using Interaction::Answer;
using Interaction::Icon;

class TestCategoryCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void addCategory_data();
    void addCategory();
    void addSubCategory_data();
    void addSubCategory();
    void subCategoryUnderTemporaryAddsRootInstead();
    void subCategoryOnEmptyTreeAsksForRoot();
    void rename_data();
    void rename();
    void removeAsksThenDeletesSubtreeAndRecords();
    void removeAnsweredNoChangesNothing();
    void commandsNeedASelection();
    void refusesBeyondTheFileLimit();

private:
    std::unique_ptr<Catalog> m_catalog;
    std::unique_ptr<ScriptedInteraction> m_ui;
    std::unique_ptr<CategoryCommands> m_commands;
};

namespace {

const QString kSlashCategory = QStringLiteral("You cannot have the following characters in the category's name: /\\");
const QString kSlashSubCategory = QStringLiteral("You cannot have the following characters in the sub-category's name: /\\");
const QString kSystemName = QStringLiteral("System category, please choose a different category name.");

} // namespace

void TestCategoryCommands::init()
{
    m_catalog = std::make_unique<Catalog>();
    m_ui = std::make_unique<ScriptedInteraction>();
    m_commands = std::make_unique<CategoryCommands>(*m_catalog, *m_ui);
    m_catalog->markSaved();
}

void TestCategoryCommands::cleanup()
{
    QVERIFY2(m_ui->unexpected.isEmpty(), qPrintable(m_ui->unexpected.join(QLatin1Char('\n'))));
}

void TestCategoryCommands::addCategory_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("message"); // empty: accepted
    QTest::newRow("plain") << "Photos" << QString();
    QTest::newRow("lower-case temporary is fine") << "temporary" << QString();
    QTest::newRow("cancel or empty") << QString() << QString();
    QTest::newRow("slash") << "Pictures/2004" << kSlashCategory;
    QTest::newRow("backslash") << "a\\b" << kSlashCategory;
    QTest::newRow("double quote") << "My \"best\"" << "You cannot have the following character in the category's name: \"";
    QTest::newRow("system name") << "Temporary" << kSystemName;
}

void TestCategoryCommands::addCategory()
{
    QFETCH(QString, entry);
    QFETCH(QString, message);
    m_catalog->tree().addRoot(QStringLiteral("Existing"));
    m_ui->promptAnswers = {entry};
    const int added = m_commands->AddCategory();
    QCOMPARE(m_ui->prompts.value(0).text, QStringLiteral("What is the name of the new category?"));
    QCOMPARE(m_ui->prompts.value(0).title, QStringLiteral("Corvanta"));
    const bool accepted = !entry.isEmpty() && message.isEmpty();
    QCOMPARE(added, accepted ? 2 : 0);
    QCOMPARE(m_catalog->tree().nodeCount(), accepted ? 2 : 1);
    QCOMPARE(m_catalog->FileListSaved(), !accepted);
    if (accepted) {
        QVERIFY(m_catalog->tree().node(2)->isRoot());
        QCOMPARE(m_catalog->tree().node(2)->name, entry);
    }
    QCOMPARE(m_ui->messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (!message.isEmpty()) {
        QCOMPARE(m_ui->messages[0].title, QStringLiteral("Corvanta"));
        QCOMPARE(m_ui->messages[0].icon, Icon::Critical);
    }
}

void TestCategoryCommands::addSubCategory_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("message");
    QTest::newRow("plain") << "Beach" << QString();
    QTest::newRow("slash") << "Pictures/2004" << kSlashSubCategory;
    QTest::newRow("double quote") << "\"x\"" << "You cannot have the following character in the sub-category's name: \"";
    QTest::newRow("system name") << "Temporary" << kSystemName;
}

void TestCategoryCommands::addSubCategory()
{
    QFETCH(QString, entry);
    QFETCH(QString, message);
    const int photos = m_catalog->tree().addRoot(QStringLiteral("Photos"));
    m_ui->promptAnswers = {entry};
    const int added = m_commands->AddSubCategory(photos);
    QCOMPARE(m_ui->prompts.value(0).text, QStringLiteral("What is the name of the new sub-category?"));
    QCOMPARE(m_ui->messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (message.isEmpty()) {
        QCOMPARE(added, 2);
        QCOMPARE(m_catalog->tree().node(2)->parent, m_catalog->tree().node(photos));
        QVERIFY(!m_catalog->FileListSaved());
    } else {
        QCOMPARE(added, 0);
        QCOMPARE(m_catalog->tree().nodeCount(), 1);
        QVERIFY(m_catalog->FileListSaved());
        if (message != kSystemName)
            QCOMPARE(m_ui->messages[0].title, QStringLiteral("Marlowind"));
    }
}

void TestCategoryCommands::subCategoryUnderTemporaryAddsRootInstead()
{
    const int temporary = m_catalog->tree().addRoot(Catalog::kTemporaryName);
    m_ui->promptAnswers = {QStringLiteral("Music")};
    QCOMPARE(m_commands->AddSubCategory(temporary), 2);
    QCOMPARE(m_ui->messageTexts(),
             QStringList{"You cannot create a sub-category under 'Temporary'. A category will be added instead."});
    QCOMPARE(m_ui->messages[0].title, QStringLiteral("Marlowind"));
    QCOMPARE(m_ui->prompts.value(0).text, QStringLiteral("What is the name of the new category?"));
    QVERIFY(m_catalog->tree().node(2)->isRoot());
}

void TestCategoryCommands::subCategoryOnEmptyTreeAsksForRoot()
{
    m_ui->promptAnswers = {QStringLiteral("First")};
    QCOMPARE(m_commands->AddSubCategory(0), 1);
    QVERIFY(m_ui->messages.isEmpty());
    QCOMPARE(m_ui->prompts.value(0).text, QStringLiteral("What is the name of the new category?"));
}

void TestCategoryCommands::rename_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("expectedName");
    QTest::addColumn<QString>("message");
    QTest::newRow("new name") << "Holidays" << "Holidays" << QString();
    QTest::newRow("empty cancels") << QString() << "Photos" << QString();
    QTest::newRow("slash") << "a/b" << "Photos" << kSlashCategory;
    QTest::newRow("system name") << "Temporary" << "Photos" << kSystemName;
}

void TestCategoryCommands::rename()
{
    QFETCH(QString, entry);
    QFETCH(QString, message);
    const int photos = m_catalog->tree().addRoot(QStringLiteral("Photos"));
    m_catalog->records().append(MakeFileRecord(QStringLiteral("/a.jpg"), photos, QString()));
    m_catalog->markSaved();
    m_ui->promptAnswers = {entry};
    m_commands->RenameCategory(photos);
    const auto prompt = m_ui->prompts.value(0);
    QCOMPARE(prompt.text, QStringLiteral("What would you like to change the category's name to?"));
    QCOMPARE(prompt.title, QStringLiteral("Marlowind"));
    QCOMPARE(prompt.defaultText, QStringLiteral("Photos"));
    QTEST(m_catalog->tree().node(photos)->name, "expectedName");
    QCOMPARE(m_catalog->records().at(0), QStringLiteral("/a.jpg/1>"));
    QCOMPARE(m_ui->messageTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(m_catalog->FileListSaved(), entry != QLatin1String("Holidays"));
}

void TestCategoryCommands::removeAsksThenDeletesSubtreeAndRecords()
{
    CategoryTree &tree = m_catalog->tree();
    for (int i = 1; i <= 3; ++i)
        tree.addRoot(QString::number(i));
    tree.addChild(2, QStringLiteral("4"));
    tree.addRoot(QStringLiteral("5"));
    for (int i = 1; i <= 5; ++i)
        m_catalog->records().append(MakeFileRecord(QStringLiteral("/f%1").arg(i), i, QString()));
    m_catalog->markSaved();
    m_ui->answers = {Answer::Yes};

    QVERIFY(m_commands->RemoveCategory(2));
    const auto question = m_ui->messages.value(0);
    QCOMPARE(question.text, QStringLiteral("Are you sure you want to delete the category and all sub catagories?"));
    QCOMPARE(question.icon, Icon::Question);
    QCOMPARE(tree.nodeCount(), 3);
    QCOMPARE(m_catalog->records().size(), 3);
    QCOMPARE(m_catalog->records().at(1), QStringLiteral("/f3/2>"));
    QCOMPARE(m_catalog->records().at(2), QStringLiteral("/f5/3>"));
    QVERIFY(!m_catalog->FileListSaved());
}

void TestCategoryCommands::removeAnsweredNoChangesNothing()
{
    m_catalog->tree().addRoot(QStringLiteral("A"));
    m_catalog->records().append(MakeFileRecord(QStringLiteral("/a"), 1, QString()));
    m_ui->answers = {Answer::No};
    QVERIFY(!m_commands->RemoveCategory(1));
    QCOMPARE(m_catalog->tree().nodeCount(), 1);
    QCOMPARE(m_catalog->records().size(), 1);
    QCOMPARE(m_catalog->records().markedCount(), 0);
    QVERIFY(m_catalog->FileListSaved());
}

void TestCategoryCommands::commandsNeedASelection()
{
    m_catalog->tree().addRoot(QStringLiteral("A"));
    QCOMPARE(m_commands->AddSubCategory(0), 0);
    QCOMPARE(m_commands->RenameCategory(0), 0);
    QVERIFY(!m_commands->RemoveCategory(0));
    QCOMPARE(m_ui->messages.size(), 3);
    QVERIFY(m_ui->prompts.isEmpty());
    QCOMPARE(m_catalog->tree().nodeCount(), 1);
}

void TestCategoryCommands::refusesBeyondTheFileLimit()
{
    for (int i = 0; i < CategoryCommands::kMaxCategories; ++i)
        m_catalog->tree().addRoot(QStringLiteral("c"));
    QCOMPARE(m_commands->AddCategory(), 0);
    QCOMPARE(m_commands->AddSubCategory(1), 0);
    QVERIFY(m_ui->prompts.isEmpty());
    QCOMPARE(m_ui->messages.size(), 2);
    QVERIFY(m_ui->messages[0].text.contains(QStringLiteral("5000")));
    QCOMPARE(m_catalog->tree().nodeCount(), CategoryCommands::kMaxCategories);
}

QTEST_GUILESS_MAIN(TestCategoryCommands)
#include "tst_categorycommands.moc"
