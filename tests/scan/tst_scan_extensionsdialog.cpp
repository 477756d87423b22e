#include "AdditionalExtensionsDialog.h"
#include "ScanTestSupport.h"
#include "TestFiles.h"

#include <QDir>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using Interaction::Answer;

// The Additional Extensions dialog: what it shows, its prompts, and the .ext files it
// loads and saves.
class TestAdditionalExtensionsDialog : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ScanFixture> m_fixture;
    std::unique_ptr<QTemporaryDir> m_dir;
    QPointer<AdditionalExtensionsDialog> m_dialog;
    int m_enableCalls = 0;

    static void clearSettings()
    {
        SettingsInTestMode testMode;
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Corvanta"), QStringLiteral("Corvanta"))
            .clear();
    }

    // Opens the dialog on the table and waits for the first tick of its timer, which
    // fills it: nothing is shown while it is being made.
    void openDialog(const QStringList &table)
    {
        ScanFixture &f = *m_fixture;
        f.extensions.setExtensions(table);
        m_dialog = new AdditionalExtensionsDialog(f.extensions, f.settings, f.interaction, [this] { ++m_enableCalls; });
        m_dialog->show();
        QVERIFY(m_dialog->displayedEntries().isEmpty());
        QVERIFY(m_dialog->initialFolder().isEmpty());
        QTRY_VERIFY(!m_dialog->initialFolder().isEmpty());
    }

    void click(const char *buttonName)
    {
        auto *button = m_dialog->findChild<QPushButton *>(QString::fromLatin1(buttonName));
        QVERIFY2(button, buttonName);
        button->click();
    }

private Q_SLOTS:
    void init()
    {
        clearSettings();
        m_fixture = std::make_unique<ScanFixture>();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_enableCalls = 0;
    }

    void cleanup()
    {
        delete m_dialog.data();
        m_fixture.reset();
        clearSettings();
        m_dir.reset();
    }

    void showsTheTableAndContinueStoresWhatItShows_data()
    {
        QTest::addColumn<QStringList>("table");
        QTest::addColumn<QStringList>("displayed");
        QTest::addColumn<QStringList>("stored");
        const QString all = QStringLiteral("<All File Extensions>");
        QTest::newRow("empty") << QStringList{} << QStringList{} << QStringList{};
        QTest::newRow("plain extensions") << QStringList{"jpg", "png"} << QStringList{"jpg", "png"}
                                          << QStringList{"jpg", "png"};
        QTest::newRow("every file covers what came before")
            << QStringList{"jpg", "*", "png"} << QStringList{all, "png"} << QStringList{"*", "png"};
        QTest::newRow("every file twice") << QStringList{"a", "*", "b", "*", "c"} << QStringList{all, "c"}
                                          << QStringList{"*", "c"};
    }

    void showsTheTableAndContinueStoresWhatItShows()
    {
        QFETCH(QStringList, table);
        QFETCH(QStringList, displayed);
        QFETCH(QStringList, stored);
        openDialog(table);
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Add Additional Extensions"));
        QCOMPARE(m_enableCalls, 1);
        QCOMPARE(m_dialog->displayedEntries(), displayed);
        QCOMPARE(m_fixture->extensions.extensions(), table);

        click("cmdContinue");
        const ExtensionTable &extensions = m_fixture->extensions;
        QCOMPARE(extensions.extensions(), stored);
        QCOMPARE(extensions.entry(0), QString::number(stored.size()));
        QCOMPARE(extensions.isAllFilesMode(), stored.value(0) == QStringLiteral("*"));
        QTRY_VERIFY(m_dialog.isNull());
    }

    void editingLeavesTheTableAlone_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("selected"); // empty: nothing selected
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("prompts"); // title|default text|text
        QTest::addColumn<QStringList>("displayed");
        QTest::addColumn<QStringList>("messages");
        const QString add = QStringLiteral("cmdAdd");
        const QString modify = QStringLiteral("cmdModify");
        const QString remove = QStringLiteral("cmdDelete");
        const QStringList addPrompt{"Marlowind||What extension would you like to add?\r\nExample - ini"};
        // The selected entry runs into the "to" that follows it.
        const auto modifyPrompt = [](const QString &selected) {
            return QStringList{QStringLiteral("Marlowind|%1|What would you like to change the extension %1to?\r\n"
                                              "Example - ini")
                                   .arg(selected)};
        };
        const QStringList unchanged{"a", "b", "c"};
        QTest::newRow("Add appends as typed")
            << add << "" << ".Log" << addPrompt << unchanged + QStringList{".Log"} << QStringList{};
        QTest::newRow("Add: empty or Cancel adds nothing") << add << "" << "" << addPrompt << unchanged << QStringList{};
        QTest::newRow("Modify moves the entry to the end")
            << modify << "b" << "x" << modifyPrompt("b") << QStringList{"a", "c", "x"} << QStringList{};
        QTest::newRow("Modify to the same text still moves")
            << modify << "a" << "a" << modifyPrompt("a") << QStringList{"b", "c", "a"} << QStringList{};
        QTest::newRow("Modify: empty answer changes nothing")
            << modify << "a" << "" << modifyPrompt("a") << unchanged << QStringList{};
        QTest::newRow("Modify with nothing selected appends")
            << modify << "" << "x" << modifyPrompt("") << unchanged + QStringList{"x"} << QStringList{};
        QTest::newRow("Delete with nothing selected")
            << remove << "" << "" << QStringList{} << unchanged << QStringList{};
        QTest::newRow("Delete removes only the selected entry")
            << remove << "b" << "" << QStringList{} << QStringList{"a", "c"} << QStringList{};
        // The list file would read them back otherwise: up to a comma, without leading blanks.
        const QStringList comma{"Marlowind|Critical|Ok|An extension cannot hold a comma. Please add each extension on "
                                "its own."};
        QTest::newRow("Add trims blanks") << add << "" << " \tini " << addPrompt << unchanged + QStringList{"ini"}
                                          << QStringList{};
        QTest::newRow("Add refuses a comma") << add << "" << "jpg,png" << addPrompt << unchanged << comma;
        QTest::newRow("Modify trims blanks") << modify << "b" << " x" << modifyPrompt("b") << QStringList{"a", "c", "x"}
                                             << QStringList{};
        QTest::newRow("Modify refuses a comma") << modify << "b" << "x," << modifyPrompt("b") << unchanged << comma;
    }

    void editingLeavesTheTableAlone()
    {
        QFETCH(QString, button);
        QFETCH(QString, selected);
        QFETCH(QString, answer);
        ScanFixture &f = *m_fixture;
        const QStringList table{"a", "b", "c"};
        openDialog(table);
        if (!selected.isEmpty()) {
            auto *list = m_dialog->findChild<QListWidget *>(QStringLiteral("lstExtensions"));
            list->setCurrentItem(list->findItems(selected, Qt::MatchExactly).value(0));
            QCOMPARE(list->currentItem()->text(), selected);
        }
        f.interaction.promptAnswers = {answer};
        click(qPrintable(button));
        QStringList prompts;
        for (const ScriptedInteraction::Prompt &prompt : f.interaction.prompts)
            prompts.append(prompt.title + '|' + prompt.defaultText + '|' + prompt.text);
        QTEST(prompts, "prompts");
        QTEST(m_dialog->displayedEntries(), "displayed");
        QTEST(f.interaction.shownMessages(), "messages");
        // Only Continue, Load and Save touch the table; Cancel leaves it alone.
        QCOMPARE(f.extensions.extensions(), table);
        click("cmdCancel");
        QCOMPARE(f.extensions.extensions(), table);
        QTRY_VERIFY(m_dialog.isNull());
    }

    void saveWritesTheListFile_data()
    {
        QTest::addColumn<QStringList>("table");
        QTest::addColumn<QString>("chosenName");
        QTest::addColumn<QString>("writtenName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("storedInTable");
        QTest::addColumn<bool>("becomesInitDir");
        const QStringList three{"jpg", "png", "ini"};
        QTest::newRow("three extensions: four lines")
            << three << "media.ext" << "media.ext" << QByteArray(" 3 \r\njpg\r\npng\r\nini\r\n") << three << true;
        QTest::newRow("every file written as *") << QStringList{"tif", "*", "gif"} << "all.ext" << "all.ext"
                                                 << QByteArray(" 2 \r\n*\r\ngif\r\n") << QStringList{"*", "gif"}
                                                 << true;
        QTest::newRow("empty list: empty file")
            << QStringList{} << "none.ext" << "none.ext" << QByteArray() << QStringList{} << false;
        QTest::newRow("name without extension gets .ext") << QStringList{"ini"} << "plain" << "plain.ext"
                                                          << QByteArray(" 1 \r\nini\r\n") << QStringList{"ini"} << true;
    }

    void saveWritesTheListFile()
    {
        QFETCH(QStringList, table);
        QFETCH(QString, chosenName);
        QFETCH(QString, writtenName);
        QFETCH(bool, becomesInitDir);
        ScanFixture &f = *m_fixture;
        openDialog(table);
        // Before any list was loaded or saved the file dialog starts in the home folder.
        const QString before = m_dialog->initialFolder();
        QCOMPARE(before, QDir::homePath());
        f.interaction.saveFileAnswers = {m_dir->filePath(chosenName)};
        click("cmdSaveExtension");
        const QString written = m_dir->filePath(writtenName);
        QVERIFY(QFile::exists(written));
        QTEST(TestFiles::readFile(written), "bytes");
        QTEST(f.extensions.extensions(), "storedInTable");
        QCOMPARE(f.interaction.saveDialogs.first().title, QStringLiteral("Choose an extension list"));
        QCOMPARE(f.interaction.saveDialogs.first().initialFolder, before);
        QCOMPARE(m_dialog->initialFolder(), becomesInitDir ? written : before);
        QCOMPARE(f.settings.text(AppSettings::kInitDir), becomesInitDir ? written : QString());
        QVERIFY(f.interaction.messages.isEmpty());
        QVERIFY(f.interaction.unexpected.isEmpty());
    }

    void saveAsksBeforeOverwriting_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QByteArray>("bytesAfter");
        QTest::newRow("Yes overwrites") << Answer::Yes << QByteArray(" 1 \r\nini\r\n");
        QTest::newRow("No keeps the file") << Answer::No << QByteArray("old");
    }

    void saveAsksBeforeOverwriting()
    {
        QFETCH(Answer, answer);
        ScanFixture &f = *m_fixture;
        const QString path = TestFiles::createFile(m_dir->filePath(QStringLiteral("old.ext")), "old");
        openDialog({QStringLiteral("ini")});
        f.interaction.saveFileAnswers = {path};
        f.interaction.answers = {answer};
        click("cmdSaveExtension");
        QCOMPARE(f.interaction.shownMessages(),
                 QStringList{QStringLiteral("Marlowind|None|YesNo|") + path
                             + QStringLiteral(" already exists. Do you want to overwrite?")});
        QTEST(TestFiles::readFile(path), "bytesAfter");
    }

    void loadReadsTheListFile_data()
    {
        QTest::addColumn<bool>("chosen"); // false: the file dialog is cancelled
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("displayed");
        QTest::addColumn<QStringList>("table");
        QTest::addColumn<bool>("becomesInitDir");
        const QStringList before{"old1", "old2"};
        QTest::newRow("a list") << true << QByteArray(" 2 \r\ntif\r\nini\r\n") << QStringList{"tif", "ini"}
                                << QStringList{"tif", "ini"} << true;
        QTest::newRow("every file") << true << QByteArray(" 3 \r\njpg\r\n*\r\npng\r\n")
                                    << QStringList{"<All File Extensions>", "png"} << QStringList{"jpg", "*", "png"}
                                    << true;
        QTest::newRow("empty file: table unchanged") << true << QByteArray() << QStringList{} << before << false;
        QTest::newRow("shorter than it says: what was read")
            << true << QByteArray(" 3 \r\nwav\r\n") << QStringList{"wav"} << QStringList{"wav"} << true;
        QTest::newRow("cancelled: only the display is emptied")
            << false << QByteArray(" 1 \r\nini\r\n") << QStringList{} << before << false;
    }

    void loadReadsTheListFile()
    {
        QFETCH(bool, chosen);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, becomesInitDir);
        ScanFixture &f = *m_fixture;
        const QString path = TestFiles::createFile(m_dir->filePath(QStringLiteral("list.ext")), bytes);
        const QString lastList = QStringLiteral("/before/old.ext");
        f.settings.setText(AppSettings::kInitDir, lastList);
        openDialog({"old1", "old2"});
        f.interaction.openFileAnswers = {chosen ? path : QString()};
        click("cmdLoadExtension");
        QCOMPARE(f.interaction.openDialogs.size(), 1);
        const Interaction::FileDialog &shown = f.interaction.openDialogs.first();
        QCOMPARE(shown.initialFolder, lastList);
        QCOMPARE(shown.title, QStringLiteral("Choose an extension list"));
        QCOMPARE(shown.filter, QStringLiteral("Extension lists (*.ext);;All Files (*.*)"));
        QTEST(m_dialog->displayedEntries(), "displayed");
        QTEST(f.extensions.extensions(), "table");
        QCOMPARE(m_dialog->initialFolder(), becomesInitDir ? path : lastList);
        QCOMPARE(f.settings.text(AppSettings::kInitDir), becomesInitDir ? path : lastList);
        QVERIFY(f.interaction.messages.isEmpty());
    }
};

QTEST_MAIN(TestAdditionalExtensionsDialog)
#include "tst_scan_extensionsdialog.moc"
