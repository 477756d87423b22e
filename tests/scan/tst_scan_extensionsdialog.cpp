#include "AdditionalExtensionsDialog.h"
#include "ScanTestSupport.h"
#include "TestFiles.h"

#include <QDir>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using Interaction::Answer;

class TestAdditionalExtensionsDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void opensWithTheTableShown_data();
    void opensWithTheTableShown();
    void continueStoresTheDisplayedList_data();
    void continueStoresTheDisplayedList();
    void cancelLeavesTheTable();
    void initialFolderFromInitDir_data();
    void initialFolderFromInitDir();
    void addExtension_data();
    void addExtension();
    void modifyMovesTheEntryToTheEnd_data();
    void modifyMovesTheEntryToTheEnd();
    void deleteRemovesOnlyTheSelectedEntry();
    void saveWritesTheListFile_data();
    void saveWritesTheListFile();
    void saveAsksBeforeOverwriting_data();
    void saveAsksBeforeOverwriting();
    void loadReadsTheListFile_data();
    void loadReadsTheListFile();
    void loadCancelledEmptiesOnlyTheDisplay();

private:
    static void clearSettings()
    {
        SettingsInTestMode testMode;
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Corvanta"), QStringLiteral("Corvanta"))
            .clear();
    }
    AdditionalExtensionsDialog *openDialog();
    void click(const char *buttonName);
    void select(const QString &text);

    std::unique_ptr<ScanFixture> m_fixture;
    std::unique_ptr<QTemporaryDir> m_dir;
    QPointer<AdditionalExtensionsDialog> m_dialog;
    int m_enableCalls = 0;
};

void TestAdditionalExtensionsDialog::init()
{
    clearSettings();
    m_fixture = std::make_unique<ScanFixture>();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_enableCalls = 0;
}

void TestAdditionalExtensionsDialog::cleanup()
{
    delete m_dialog.data();
    m_fixture.reset();
    clearSettings();
    m_dir.reset();
}

AdditionalExtensionsDialog *TestAdditionalExtensionsDialog::openDialog()
{
    ScanFixture &f = *m_fixture;
    m_dialog = new AdditionalExtensionsDialog(f.extensions, f.settings, f.interaction, [this] { ++m_enableCalls; });
    m_dialog->show();
    return m_dialog;
}

void TestAdditionalExtensionsDialog::click(const char *buttonName)
{
    auto *button = m_dialog->findChild<QPushButton *>(QString::fromLatin1(buttonName));
    QVERIFY2(button, buttonName);
    button->click();
}

void TestAdditionalExtensionsDialog::select(const QString &text)
{
    auto *list = m_dialog->findChild<QListWidget *>(QStringLiteral("lstExtensions"));
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    list->setCurrentItem(found.first());
}

void TestAdditionalExtensionsDialog::opensWithTheTableShown_data()
{
    QTest::addColumn<QStringList>("table");
    QTest::addColumn<QStringList>("displayed");
    QTest::newRow("empty") << QStringList{} << QStringList{};
    QTest::newRow("plain extensions") << QStringList{"jpg", "png"} << QStringList{"jpg", "png"};
    QTest::newRow("every file covers what came before")
        << QStringList{"jpg", "*", "png"} << QStringList{"<All File Extensions>", "png"};
    QTest::newRow("every file alone") << QStringList{"*"} << QStringList{"<All File Extensions>"};
    QTest::newRow("every file twice") << QStringList{"a", "*", "b", "*", "c"}
                                      << QStringList{"<All File Extensions>", "c"};
}

void TestAdditionalExtensionsDialog::opensWithTheTableShown()
{
    QFETCH(QStringList, table);
    QFETCH(QStringList, displayed);
    m_fixture->extensions.setExtensions(table);
    AdditionalExtensionsDialog *dialog = openDialog();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Add Additional Extensions"));
    QCOMPARE(m_enableCalls, 1);
    // Filled by the first tick of the dialog's timer, not while it is being made.
    QVERIFY(dialog->displayedEntries().isEmpty());
    QTRY_COMPARE(dialog->displayedEntries(), displayed);
    QCOMPARE(m_fixture->extensions.extensions(), table);
}

void TestAdditionalExtensionsDialog::continueStoresTheDisplayedList_data()
{
    QTest::addColumn<QStringList>("table");
    QTest::addColumn<QStringList>("stored");
    QTest::newRow("every file stored as *") << QStringList{"jpg", "*", "png"} << QStringList{"*", "png"};
    QTest::newRow("every file alone") << QStringList{"*"} << QStringList{"*"};
    QTest::newRow("plain") << QStringList{"ini", "log"} << QStringList{"ini", "log"};
}

void TestAdditionalExtensionsDialog::continueStoresTheDisplayedList()
{
    QFETCH(QStringList, table);
    QFETCH(QStringList, stored);
    m_fixture->extensions.setExtensions(table);
    AdditionalExtensionsDialog *dialog = openDialog();
    QTRY_VERIFY(!dialog->displayedEntries().isEmpty());
    click("cmdContinue");
    QCOMPARE(m_fixture->extensions.extensions(), stored);
    QCOMPARE(m_fixture->extensions.entry(0), QString::number(stored.size()));
    QCOMPARE(m_fixture->extensions.isAllFilesMode(), stored.first() == QStringLiteral("*"));
    QTRY_VERIFY(m_dialog.isNull());
}

void TestAdditionalExtensionsDialog::cancelLeavesTheTable()
{
    m_fixture->extensions.setExtensions({QStringLiteral("ini")});
    openDialog();
    QTRY_COMPARE(m_dialog->displayedEntries().size(), 1);
    m_fixture->interaction.promptAnswers = {QStringLiteral("log")};
    click("cmdAdd");
    click("cmdCancel");
    QCOMPARE(m_fixture->extensions.extensions(), QStringList{QStringLiteral("ini")});
    QTRY_VERIFY(m_dialog.isNull());
}

void TestAdditionalExtensionsDialog::initialFolderFromInitDir_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("expected");
    QTest::newRow("never set: the home folder") << QString() << QDir::homePath();
    QTest::newRow("the list file last used")
        << QStringLiteral("/lists/media.ext") << QStringLiteral("/lists/media.ext");
}

void TestAdditionalExtensionsDialog::initialFolderFromInitDir()
{
    QFETCH(QString, stored);
    QFETCH(QString, expected);
    if (!stored.isEmpty())
        m_fixture->settings.setText(AppSettings::kInitDir, stored);
    AdditionalExtensionsDialog *dialog = openDialog();
    QTRY_COMPARE(dialog->initialFolder(), expected);
    m_fixture->interaction.openFileAnswers = {QString()};
    click("cmdLoadExtension");
    QCOMPARE(m_fixture->interaction.openDialogs.size(), 1);
    const Interaction::FileDialog &shown = m_fixture->interaction.openDialogs.first();
    QCOMPARE(shown.initialFolder, expected);
    QCOMPARE(shown.title, QStringLiteral("Choose an extension list"));
    QCOMPARE(shown.filter, QStringLiteral("Extension lists (*.ext);;All Files (*.*)"));
}

void TestAdditionalExtensionsDialog::addExtension_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("displayed");
    QTest::newRow("an extension") << QStringLiteral("ini") << QStringList{"jpg", "ini"};
    QTest::newRow("kept as typed") << QStringLiteral(".Log") << QStringList{"jpg", ".Log"};
    QTest::newRow("empty or Cancel adds nothing") << QString() << QStringList{"jpg"};
}

void TestAdditionalExtensionsDialog::addExtension()
{
    QFETCH(QString, answer);
    QFETCH(QStringList, displayed);
    ScanFixture &f = *m_fixture;
    f.extensions.setExtensions({QStringLiteral("jpg")});
    openDialog();
    QTRY_COMPARE(m_dialog->displayedEntries().size(), 1);
    f.interaction.promptAnswers = {answer};
    click("cmdAdd");
    QCOMPARE(f.interaction.prompts.size(), 1);
    QCOMPARE(f.interaction.prompts.first().text,
             QStringLiteral("What extension would you like to add?\r\nExample - ini"));
    QCOMPARE(f.interaction.prompts.first().title, QStringLiteral("Marlowind"));
    QCOMPARE(f.interaction.prompts.first().defaultText, QString());
    QCOMPARE(m_dialog->displayedEntries(), displayed);
    // Only Continue, Load and Save touch the table.
    QCOMPARE(f.extensions.extensions(), QStringList{QStringLiteral("jpg")});
}

void TestAdditionalExtensionsDialog::modifyMovesTheEntryToTheEnd_data()
{
    QTest::addColumn<QString>("selected"); // empty: nothing selected
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("expectedPrompt");
    QTest::addColumn<QStringList>("displayed");
    QTest::newRow("changed") << QStringLiteral("b") << QStringLiteral("x")
                             << QStringLiteral("What would you like to change the extension bto?\r\nExample - ini")
                             << QStringList{"a", "c", "x"};
    QTest::newRow("same text still moves") << QStringLiteral("a") << QStringLiteral("a")
                                           << QStringLiteral("What would you like to change the extension ato?\r\n"
                                                             "Example - ini")
                                           << QStringList{"b", "c", "a"};
    QTest::newRow("empty answer changes nothing")
        << QStringLiteral("a") << QString()
        << QStringLiteral("What would you like to change the extension ato?\r\nExample - ini")
        << QStringList{"a", "b", "c"};
    QTest::newRow("nothing selected: appended")
        << QString() << QStringLiteral("x")
        << QStringLiteral("What would you like to change the extension to?\r\nExample - ini")
        << QStringList{"a", "b", "c", "x"};
}

void TestAdditionalExtensionsDialog::modifyMovesTheEntryToTheEnd()
{
    QFETCH(QString, selected);
    QFETCH(QString, answer);
    QFETCH(QString, expectedPrompt);
    QFETCH(QStringList, displayed);
    ScanFixture &f = *m_fixture;
    f.extensions.setExtensions({"a", "b", "c"});
    openDialog();
    QTRY_COMPARE(m_dialog->displayedEntries().size(), 3);
    if (!selected.isEmpty())
        select(selected);
    f.interaction.promptAnswers = {answer};
    click("cmdModify");
    QCOMPARE(f.interaction.prompts.size(), 1);
    QCOMPARE(f.interaction.prompts.first().text, expectedPrompt);
    QCOMPARE(f.interaction.prompts.first().title, QStringLiteral("Marlowind"));
    QCOMPARE(f.interaction.prompts.first().defaultText, selected);
    QCOMPARE(m_dialog->displayedEntries(), displayed);
}

void TestAdditionalExtensionsDialog::deleteRemovesOnlyTheSelectedEntry()
{
    m_fixture->extensions.setExtensions({"a", "b", "c"});
    openDialog();
    QTRY_COMPARE(m_dialog->displayedEntries().size(), 3);
    click("cmdDelete");
    QCOMPARE(m_dialog->displayedEntries(), (QStringList{"a", "b", "c"}));
    select(QStringLiteral("b"));
    click("cmdDelete");
    QCOMPARE(m_dialog->displayedEntries(), (QStringList{"a", "c"}));
    QVERIFY(m_fixture->interaction.messages.isEmpty());
    QVERIFY(m_fixture->interaction.prompts.isEmpty());
}

void TestAdditionalExtensionsDialog::saveWritesTheListFile_data()
{
    QTest::addColumn<QStringList>("table");
    QTest::addColumn<QString>("chosenName");
    QTest::addColumn<QString>("writtenName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("storedInTable");
    QTest::addColumn<bool>("becomesInitDir");
    QTest::newRow("three extensions: four lines")
        << QStringList{"jpg", "png", "ini"} << QStringLiteral("media.ext") << QStringLiteral("media.ext")
        << QByteArray(" 3 \r\njpg\r\npng\r\nini\r\n") << QStringList{"jpg", "png", "ini"} << true;
    QTest::newRow("every file written as *")
        << QStringList{"tif", "*", "gif"} << QStringLiteral("all.ext") << QStringLiteral("all.ext")
        << QByteArray(" 2 \r\n*\r\ngif\r\n") << QStringList{"*", "gif"} << true;
    QTest::newRow("empty list: empty file") << QStringList{} << QStringLiteral("none.ext") << QStringLiteral("none.ext")
                                            << QByteArray() << QStringList{} << false;
    QTest::newRow("name without extension gets .ext")
        << QStringList{"ini"} << QStringLiteral("plain") << QStringLiteral("plain.ext") << QByteArray(" 1 \r\nini\r\n")
        << QStringList{"ini"} << true;
}

void TestAdditionalExtensionsDialog::saveWritesTheListFile()
{
    QFETCH(QStringList, table);
    QFETCH(QString, chosenName);
    QFETCH(QString, writtenName);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, storedInTable);
    QFETCH(bool, becomesInitDir);
    ScanFixture &f = *m_fixture;
    f.extensions.setExtensions(table);
    openDialog();
    QTRY_VERIFY(!m_dialog->initialFolder().isEmpty());
    const QString before = m_dialog->initialFolder();
    f.interaction.saveFileAnswers = {m_dir->filePath(chosenName)};
    click("cmdSaveExtension");
    const QString written = m_dir->filePath(writtenName);
    QVERIFY(QFile::exists(written));
    QCOMPARE(TestFiles::readFile(written), bytes);
    QCOMPARE(f.extensions.extensions(), storedInTable);
    QCOMPARE(f.interaction.saveDialogs.first().title, QStringLiteral("Choose an extension list"));
    QCOMPARE(m_dialog->initialFolder(), becomesInitDir ? written : before);
    QCOMPARE(f.settings.text(AppSettings::kInitDir), becomesInitDir ? written : QString());
    QVERIFY(f.interaction.messages.isEmpty());
    QVERIFY(f.interaction.unexpected.isEmpty());
}

void TestAdditionalExtensionsDialog::saveAsksBeforeOverwriting_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QByteArray>("bytesAfter");
    QTest::newRow("Yes overwrites") << Answer::Yes << QByteArray(" 1 \r\nini\r\n");
    QTest::newRow("No keeps the file") << Answer::No << QByteArray("old");
}

void TestAdditionalExtensionsDialog::saveAsksBeforeOverwriting()
{
    QFETCH(Answer, answer);
    QFETCH(QByteArray, bytesAfter);
    ScanFixture &f = *m_fixture;
    const QString path = TestFiles::createFile(m_dir->filePath(QStringLiteral("old.ext")), "old");
    f.extensions.setExtensions({QStringLiteral("ini")});
    openDialog();
    QTRY_COMPARE(m_dialog->displayedEntries().size(), 1);
    f.interaction.saveFileAnswers = {path};
    f.interaction.answers = {answer};
    click("cmdSaveExtension");
    QCOMPARE(describeAll(f.interaction.messages),
             QStringList{QStringLiteral("Marlowind|none|yesno|") + path
                         + QStringLiteral(" already exists. Do you want to overwrite?")});
    QCOMPARE(TestFiles::readFile(path), bytesAfter);
}

void TestAdditionalExtensionsDialog::loadReadsTheListFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("displayed");
    QTest::addColumn<QStringList>("table");
    QTest::addColumn<bool>("becomesInitDir");
    const QStringList before{"old1", "old2"};
    QTest::newRow("a list") << QByteArray(" 2 \r\ntif\r\nini\r\n") << QStringList{"tif", "ini"}
                            << QStringList{"tif", "ini"} << true;
    QTest::newRow("every file") << QByteArray(" 3 \r\njpg\r\n*\r\npng\r\n")
                                << QStringList{"<All File Extensions>", "png"} << QStringList{"jpg", "*", "png"}
                                << true;
    QTest::newRow("line feeds and blanks")
        << QByteArray("2\n  mkv\nogg\n") << QStringList{"mkv", "ogg"} << QStringList{"mkv", "ogg"} << true;
    QTest::newRow("empty file: table unchanged") << QByteArray() << QStringList{} << before << false;
    QTest::newRow("shorter than it says: what was read")
        << QByteArray(" 3 \r\nwav\r\n") << QStringList{"wav"} << QStringList{"wav"} << true;
}

void TestAdditionalExtensionsDialog::loadReadsTheListFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, displayed);
    QFETCH(QStringList, table);
    QFETCH(bool, becomesInitDir);
    ScanFixture &f = *m_fixture;
    const QString path = TestFiles::createFile(m_dir->filePath(QStringLiteral("list.ext")), bytes);
    f.extensions.setExtensions({"old1", "old2"});
    f.settings.setText(AppSettings::kInitDir, QStringLiteral("/before/old.ext"));
    openDialog();
    QTRY_COMPARE(m_dialog->displayedEntries().size(), 2);
    f.interaction.openFileAnswers = {path};
    click("cmdLoadExtension");
    QCOMPARE(m_dialog->displayedEntries(), displayed);
    QCOMPARE(f.extensions.extensions(), table);
    const QString expectedFolder = becomesInitDir ? path : QStringLiteral("/before/old.ext");
    QCOMPARE(m_dialog->initialFolder(), expectedFolder);
    QCOMPARE(f.settings.text(AppSettings::kInitDir), expectedFolder);
    QVERIFY(f.interaction.messages.isEmpty());
}

void TestAdditionalExtensionsDialog::loadCancelledEmptiesOnlyTheDisplay()
{
    ScanFixture &f = *m_fixture;
    f.extensions.setExtensions({"ini"});
    openDialog();
    QTRY_COMPARE(m_dialog->displayedEntries().size(), 1);
    f.interaction.openFileAnswers = {QString()};
    click("cmdLoadExtension");
    QVERIFY(m_dialog->displayedEntries().isEmpty());
    QCOMPARE(f.extensions.extensions(), QStringList{QStringLiteral("ini")});
    QCOMPARE(f.settings.text(AppSettings::kInitDir), QString());
}

QTEST_MAIN(TestAdditionalExtensionsDialog)
#include "tst_scan_extensionsdialog.moc"
