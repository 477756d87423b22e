#include "AppSettings.h"
#include "Catalog.h"
#include "CatalogFileCommands.h"
#include "FileRecord.h"
#include "ScriptedInteraction.h"
#include "TestFiles.h"

#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using Interaction::Answer;
using Interaction::Buttons;
using Interaction::Icon;
using SaveOutcome = CatalogFileCommands::SaveOutcome;

class TestCatalogFileCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void saveCancelledWritesNothing();
    void saveWritesAndReports();
    void saveOverExistingAsks_data();
    void saveOverExistingAsks();
    void saveWarnsAboutTemporary();
    void saveFailureKeepsOldFileAndUnsavedState();
    void saveRefusesTooManyCategories();
    void openLoadsAndStoresPath();
    void openOffersSaveWithCurrentPath();
    void openStaysWhenOfferedSaveDoesNotComplete();
    void openReportsMissingFiles();
    void openReportsWhereReadingStopped();
    void openUnreadableFileKeepsCatalog();
    void newAsksAndKeepsSavedFlag_data();
    void newAsksAndKeepsSavedFlag();
    void closeOffersSave_data();
    void closeOffersSave();
    void startupChoosesCatalog_data();
    void startupChoosesCatalog();

private:
    QString catalogFile(const QString &name, const QByteArray &content);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Catalog> m_catalog;
    std::unique_ptr<ScriptedInteraction> m_ui;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<CatalogFileCommands> m_commands;
};

void TestCatalogFileCommands::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestCatalogFileCommands::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_catalog = std::make_unique<Catalog>();
    m_ui = std::make_unique<ScriptedInteraction>();
    m_settings = std::make_unique<AppSettings>();
    QSettings(QStringLiteral("Corvanta"), QStringLiteral("Corvanta")).clear();
    m_commands = std::make_unique<CatalogFileCommands>(*m_catalog, *m_ui, *m_settings);
    m_catalog->resetToEmpty();
}

void TestCatalogFileCommands::cleanup()
{
    QVERIFY2(m_ui->unexpected.isEmpty(), qPrintable(m_ui->unexpected.join(QLatin1Char('\n'))));
}

QString TestCatalogFileCommands::catalogFile(const QString &name, const QByteArray &content)
{
    return TestFiles::createFile(m_dir->filePath(name), content);
}

void TestCatalogFileCommands::saveCancelledWritesNothing()
{
    m_catalog->markChanged();
    m_ui->saveFileAnswers = {QString()};
    QCOMPARE(m_commands->save(), SaveOutcome::Cancelled);
    QVERIFY(m_ui->messages.isEmpty());
    QVERIFY(!m_catalog->FileListSaved());
    QVERIFY(m_settings->defaultFilePath().isEmpty());
    const Interaction::FileDialog dialog = m_ui->saveDialogs.value(0);
    QCOMPARE(dialog.filter, QStringLiteral("Marlowind Database (*.kvd);;All Files (*.*)"));
    QCOMPARE(dialog.initialFolder, CatalogFileCommands::programFolder());
    QVERIFY(dialog.fileName.isEmpty());
}

void TestCatalogFileCommands::saveWritesAndReports()
{
    m_settings->setDefaultFilePath(m_dir->filePath(QStringLiteral("old/last.kvd")));
    m_catalog->tree().addRoot(QStringLiteral("A"));
    m_catalog->markChanged();
    const QString path = m_dir->filePath(QStringLiteral("new.kvd"));
    m_ui->saveFileAnswers = {path};

    QCOMPARE(m_commands->save(), SaveOutcome::Saved);
    QCOMPARE(m_ui->saveDialogs.value(0).fileName, m_dir->filePath(QStringLiteral("old/last.kvd")));
    QCOMPARE(m_ui->saveDialogs.value(0).initialFolder, m_dir->filePath(QStringLiteral("old")));
    QCOMPARE(TestFiles::readFile(path), QByteArray(" 1 \r\n\"A\"           \"A\"            1 \r\n"));
    QVERIFY(m_catalog->FileListSaved());
    QCOMPARE(m_settings->defaultFilePath(), path);
    QCOMPARE(m_ui->messages.size(), 1);
    QCOMPARE(m_ui->messages[0].text, QStringLiteral("Marlowind Database successfully saved."));
    QCOMPARE(m_ui->messages[0].title, QStringLiteral("Corvanta"));
    QCOMPARE(m_ui->messages[0].icon, Icon::Information);
}

void TestCatalogFileCommands::saveOverExistingAsks_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::newRow("no keeps the old file") << Answer::No;
    QTest::newRow("yes replaces it") << Answer::Yes;
}

void TestCatalogFileCommands::saveOverExistingAsks()
{
    QFETCH(Answer, answer);
    const QString path = catalogFile(QStringLiteral("c.kvd"), "old contents");
    m_catalog->markChanged();
    m_ui->saveFileAnswers = {path};
    m_ui->answers = {answer};

    const SaveOutcome outcome = m_commands->save();
    const Interaction::Message question = m_ui->messages.value(0);
    QCOMPARE(question.text, path + QStringLiteral(" already exists. Do you wish to overwrite?"));
    QCOMPARE(question.icon, Icon::Critical);
    QCOMPARE(question.buttons, Buttons::YesNo);
    QCOMPARE(m_settings->defaultFilePath(), path); // stored before the question, either way
    if (answer == Answer::No) {
        QCOMPARE(outcome, SaveOutcome::Cancelled);
        QCOMPARE(TestFiles::readFile(path), QByteArray("old contents"));
        QVERIFY(!m_catalog->FileListSaved());
    } else {
        QCOMPARE(outcome, SaveOutcome::Saved);
        QCOMPARE(TestFiles::readFile(path), QByteArray(" 0 \r\n"));
    }
}

void TestCatalogFileCommands::saveWarnsAboutTemporary()
{
    m_catalog->tree().addRoot(Catalog::kTemporaryName);
    m_catalog->records().append(MakeFileRecord(QStringLiteral("/x.jpg"), 1, QString()));
    m_ui->saveFileAnswers = {m_dir->filePath(QStringLiteral("t.kvd"))};
    QCOMPARE(m_commands->save(), SaveOutcome::Saved);
    QCOMPARE(m_ui->messageTexts(),
             (QStringList{QStringLiteral("Temporary folder will not be saved. If you want to save the files in the "
                                         "folder, please drag the files to their respective folders."),
                          QStringLiteral("Marlowind Database successfully saved.")}));
    QCOMPARE(m_ui->messages[0].icon, Icon::Critical);
    QCOMPARE(TestFiles::readFile(m_dir->filePath(QStringLiteral("t.kvd"))), QByteArray(" 0 \r\n"));
}

void TestCatalogFileCommands::saveFailureKeepsOldFileAndUnsavedState()
{
    m_catalog->markChanged();
    const QString path = m_dir->filePath(QStringLiteral("no such folder/c.kvd"));
    m_ui->saveFileAnswers = {path};
    QCOMPARE(m_commands->save(), SaveOutcome::Failed);
    QCOMPARE(m_ui->messages.size(), 1);
    const Interaction::Message error = m_ui->messages[0];
    QVERIFY(error.text.startsWith(QStringLiteral(
        "An error has occured when trying to save. Please report the error to support@corvanta.org.\n")));
    QVERIFY(error.text.endsWith(QLatin1Char('.')));
    QVERIFY(error.text.contains(QStringLiteral(" - ")));
    QCOMPARE(error.title, QStringLiteral("Marlowind"));
    QCOMPARE(error.icon, Icon::Critical);
    QVERIFY(!m_catalog->FileListSaved());
    QVERIFY(!QFileInfo::exists(path));
}

void TestCatalogFileCommands::saveRefusesTooManyCategories()
{
    for (int i = 0; i < 5001; ++i)
        m_catalog->tree().addRoot(QStringLiteral("c"));
    m_catalog->markChanged();
    QCOMPARE(m_commands->save(), SaveOutcome::Failed);
    QVERIFY(m_ui->saveDialogs.isEmpty());
    QCOMPARE(m_ui->messages.size(), 1);
    QVERIFY(m_ui->messages[0].text.contains(QStringLiteral("5000")));
    QCOMPARE(m_ui->messages[0].icon, Icon::Critical);

    // With the system category left out, 5001 nodes fit.
    m_catalog->tree().rename(5001, Catalog::kTemporaryName);
    m_ui->saveFileAnswers = {m_dir->filePath(QStringLiteral("big.kvd"))};
    QCOMPARE(m_commands->save(), SaveOutcome::Saved);
}

void TestCatalogFileCommands::openLoadsAndStoresPath()
{
    const QString path = catalogFile(QStringLiteral("a.kvd"), "1\r\n\"A\",\"A\",1\r\n");
    QSignalSpy replaced(m_commands.get(), &CatalogFileCommands::catalogReplaced);
    m_ui->openFileAnswers = {path};
    m_commands->open();
    QCOMPARE(m_ui->openDialogs.value(0).title, QStringLiteral("Open"));
    QCOMPARE(m_catalog->tree().nodeCount(), 1);
    QCOMPARE(m_catalog->records().size(), 0); // a loaded catalog has no sentinel
    QVERIFY(m_catalog->FileListSaved());
    QCOMPARE(m_settings->defaultFilePath(), path);
    QCOMPARE(replaced.count(), 1);
    QVERIFY(m_ui->messages.isEmpty());
}

void TestCatalogFileCommands::openOffersSaveWithCurrentPath()
{
    const QString current = catalogFile(QStringLiteral("current.kvd"), " 0 \r\n");
    const QString next = catalogFile(QStringLiteral("next.kvd"), "1\r\n\"N\",\"N\",1\r\n");
    m_settings->setDefaultFilePath(current);
    m_catalog->tree().addRoot(QStringLiteral("Edited"));
    m_catalog->markChanged();
    m_ui->openFileAnswers = {next};
    m_ui->answers = {Answer::Yes, Answer::Yes}; // save first; overwrite current.kvd
    m_ui->saveFileAnswers = {current};

    m_commands->open();
    QCOMPARE(m_ui->messages.value(0).text, QStringLiteral("Do you wish to save changes to current FileList?"));
    QCOMPARE(m_ui->messages.value(0).buttons, Buttons::YesNo);
    QCOMPARE(m_ui->saveDialogs.value(0).fileName, current);
    QVERIFY(TestFiles::readFile(current).contains("Edited"));
    QCOMPARE(TestFiles::readFile(next), QByteArray("1\r\n\"N\",\"N\",1\r\n"));
    QCOMPARE(m_catalog->tree().node(1)->name, QStringLiteral("N"));
    QCOMPARE(m_settings->defaultFilePath(), next);
}

void TestCatalogFileCommands::openStaysWhenOfferedSaveDoesNotComplete()
{
    const QString current = m_dir->filePath(QStringLiteral("current.kvd"));
    const QString next = catalogFile(QStringLiteral("next.kvd"), "1\r\n\"N\",\"N\",1\r\n");
    m_settings->setDefaultFilePath(current);
    m_catalog->tree().addRoot(QStringLiteral("Edited"));
    m_catalog->markChanged();
    m_ui->openFileAnswers = {next};
    m_ui->answers = {Answer::Yes};
    m_ui->saveFileAnswers = {QString()}; // the user cancels the save

    m_commands->open();
    QCOMPARE(m_catalog->tree().node(1)->name, QStringLiteral("Edited"));
    QVERIFY(!m_catalog->FileListSaved());
    QCOMPARE(m_settings->defaultFilePath(), current);
}

void TestCatalogFileCommands::openReportsMissingFiles()
{
    const QString present = TestFiles::createFile(m_dir->filePath(QStringLiteral("p.jpg")), "x");
    const QString path = catalogFile(QStringLiteral("m.kvd"), "0\r\n\"" + present.toUtf8() + "\",1,\"\"\r\n\"/nowhere/gone.jpg\",1,\"\"\r\n");
    QSignalSpy missing(m_commands.get(), &CatalogFileCommands::missingFilesFound);
    m_ui->openFileAnswers = {path};
    m_commands->open();
    QCOMPARE(missing.count(), 1);
    QCOMPARE(missing.at(0).at(0).toStringList(), QStringList{"/nowhere/gone.jpg"});
    QCOMPARE(m_catalog->records().size(), 1);
}

void TestCatalogFileCommands::openReportsWhereReadingStopped()
{
    const QString path = catalogFile(QStringLiteral("bad.kvd"), "2\r\n\"A\",\"A\",1\r\n\"B\",\"B\",x\r\n");
    m_ui->openFileAnswers = {path};
    m_commands->open();
    QCOMPARE(m_ui->messages.size(), 1);
    QVERIFY2(m_ui->messages[0].text.contains(QStringLiteral("line 3")), qPrintable(m_ui->messages[0].text));
    QVERIFY(m_ui->messages[0].text.contains(path));
    QCOMPARE(m_catalog->tree().nodeCount(), 1);
    QVERIFY(m_catalog->FileListSaved());
}

void TestCatalogFileCommands::openUnreadableFileKeepsCatalog()
{
    m_catalog->tree().addRoot(QStringLiteral("Kept"));
    m_ui->openFileAnswers = {m_dir->filePath(QStringLiteral("absent.kvd"))};
    m_commands->open();
    QCOMPARE(m_ui->messages.size(), 1);
    QCOMPARE(m_ui->messages[0].icon, Icon::Critical);
    QCOMPARE(m_catalog->tree().nodeCount(), 1);
}

void TestCatalogFileCommands::newAsksAndKeepsSavedFlag_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("savedBefore");
    QTest::newRow("no keeps everything") << Answer::No << false;
    QTest::newRow("yes clears, unsaved stays unsaved") << Answer::Yes << false;
    QTest::newRow("yes clears, saved stays saved") << Answer::Yes << true;
}

void TestCatalogFileCommands::newAsksAndKeepsSavedFlag()
{
    QFETCH(Answer, answer);
    QFETCH(bool, savedBefore);
    m_catalog->tree().addRoot(QStringLiteral("A"));
    m_catalog->records().append(MakeFileRecord(QStringLiteral("/a.jpg"), 1, QString()));
    savedBefore ? m_catalog->markSaved() : m_catalog->markChanged();
    m_ui->answers = {answer};
    m_commands->newCatalog();
    QCOMPARE(m_ui->messages.value(0).text,
             QStringLiteral("Are you sure you want to clear the current list and start a new list?"));
    QCOMPARE(m_ui->messages.value(0).buttons, Buttons::YesNo);
    QCOMPARE(m_catalog->FileListSaved(), savedBefore);
    if (answer == Answer::No) {
        QCOMPARE(m_catalog->tree().nodeCount(), 1);
    } else {
        QCOMPARE(m_catalog->tree().nodeCount(), 0);
        QCOMPARE(m_catalog->records().size(), 1);
        QCOMPARE(m_catalog->records().at(0), kSentinelRecord);
    }
}

void TestCatalogFileCommands::closeOffersSave_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("saveAs"); // "" cancels the Save dialog
    QTest::addColumn<bool>("mayClose");
    QTest::newRow("cancel stays") << Answer::Cancel << QString() << false;
    QTest::newRow("no closes unsaved") << Answer::No << QString() << true;
    QTest::newRow("yes and saved closes") << Answer::Yes << QStringLiteral("s.kvd") << true;
    QTest::newRow("yes but save cancelled stays") << Answer::Yes << QString() << false;
}

void TestCatalogFileCommands::closeOffersSave()
{
    QFETCH(Answer, answer);
    QFETCH(QString, saveAs);
    m_catalog->markChanged();
    m_ui->answers = {answer};
    if (answer == Answer::Yes)
        m_ui->saveFileAnswers = {saveAs.isEmpty() ? QString() : m_dir->filePath(saveAs)};
    QTEST(m_commands->confirmClose(), "mayClose");
    const Interaction::Message question = m_ui->messages.value(0);
    QCOMPARE(question.text,
             QStringLiteral("Your filelist has been changed since you last saved it. Would you like to save now?"));
    QCOMPARE(question.title, QStringLiteral("Corvanta"));
    QCOMPARE(question.icon, Icon::Critical);
    QCOMPARE(question.buttons, Buttons::YesNoCancel);

    m_catalog->markSaved();
    const auto asked = m_ui->messages.size();
    QVERIFY(m_commands->confirmClose());
    QCOMPARE(m_ui->messages.size(), asked);
}

void TestCatalogFileCommands::startupChoosesCatalog_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("lastUsed");
    QTest::addColumn<QString>("expectedRoot"); // empty: the empty catalog
    QTest::newRow("first run") << QString() << QString() << QString();
    QTest::newRow("command line") << QStringLiteral("cmd catalog.kvd") << QStringLiteral("last.kvd") << "FromCommandLine";
    QTest::newRow("last used") << QString() << QStringLiteral("last.kvd") << "FromSettings";
    QTest::newRow("missing command line file") << QStringLiteral("gone.kvd") << QStringLiteral("last.kvd") << QString();
    QTest::newRow("missing last file") << QString() << QStringLiteral("gone.kvd") << QString();
}

void TestCatalogFileCommands::startupChoosesCatalog()
{
    QFETCH(QString, commandLine);
    QFETCH(QString, lastUsed);
    QFETCH(QString, expectedRoot);
    catalogFile(QStringLiteral("cmd catalog.kvd"), "1\r\n\"FromCommandLine\",\"FromCommandLine\",1\r\n");
    catalogFile(QStringLiteral("last.kvd"), "1\r\n\"FromSettings\",\"FromSettings\",1\r\n");
    if (!lastUsed.isEmpty())
        m_settings->setDefaultFilePath(m_dir->filePath(lastUsed));
    m_catalog->markChanged();

    m_commands->loadAtStartup(commandLine.isEmpty() ? QString() : m_dir->filePath(commandLine));
    QVERIFY(m_catalog->FileListSaved());
    if (expectedRoot.isEmpty()) {
        QCOMPARE(m_catalog->tree().nodeCount(), 0);
        QCOMPARE(m_catalog->records().size(), 1);
        QVERIFY(isSentinel(m_catalog->records().at(0)));
    } else {
        QCOMPARE(m_catalog->tree().node(1)->name, expectedRoot);
    }
    QVERIFY(m_ui->messages.isEmpty());
}

QTEST_MAIN(TestCatalogFileCommands)
#include "tst_catalogfilecommands.moc"
