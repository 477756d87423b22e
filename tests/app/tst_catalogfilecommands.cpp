#include "Catalog.h"
#include "CatalogFileCommands.h"
#include "FileRecord.h"
#include "Startup.h"
#include "WindowTestSupport.h"

#include <QSignalSpy>

#include <sys/stat.h>

using Interaction::Answer;
using SaveOutcome = CatalogFileCommands::SaveOutcome;

class TestCatalogFileCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup() { QVERIFY2(m_ui->unexpected.isEmpty(), qPrintable(m_ui->unexpected.join(QLatin1Char('\n')))); }

    void save_data();
    void save();
    void saveRefusesTooManyCategories();
    void saveRefusesWhatIsNoFile();
    void saveProposesTheCatalogsOwnFile_data();
    void saveProposesTheCatalogsOwnFile();
    void openOffersSaveFirst_data();
    void openOffersSaveFirst();
    void openReportsProblems_data();
    void openReportsProblems();
    void newAsksAndKeepsSavedFlag_data();
    void newAsksAndKeepsSavedFlag();
    void closeOffersSave_data();
    void closeOffersSave();
    void startupChoosesCatalog_data();
    void startupChoosesCatalog();

private:
    QString catalogFile(const QString &name, const QByteArray &content)
    {
        return TestFiles::createFile(m_dir->filePath(name), content);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Catalog> m_catalog;
    std::unique_ptr<ScriptedInteraction> m_ui;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<CatalogFileCommands> m_commands;
};

void TestCatalogFileCommands::init()
{
    QStandardPaths::setTestModeEnabled(true);
    m_dir = std::make_unique<QTemporaryDir>();
    m_catalog = std::make_unique<Catalog>();
    m_ui = std::make_unique<ScriptedInteraction>();
    QSettings(QStringLiteral("Corvanta"), QStringLiteral("Corvanta")).clear();
    m_settings = std::make_unique<AppSettings>();
    m_commands = std::make_unique<CatalogFileCommands>(*m_catalog, *m_ui, *m_settings);
    m_catalog->resetToEmpty();
}

void TestCatalogFileCommands::save_data()
{
    QTest::addColumn<QString>("lastUsed"); // the stored path; empty: none
    QTest::addColumn<QString>("root"); // the catalog's one category
    QTest::addColumn<QByteArray>("existing"); // the chosen file's contents before; empty: no such file
    QTest::addColumn<QString>("saveAs"); // "" cancels the Save dialog
    QTest::addColumn<Answer>("overwrite");
    QTest::addColumn<SaveOutcome>("outcome");
    QTest::addColumn<QStringList>("messages"); // %1 the chosen file
    QTest::addColumn<QByteArray>("written"); // the chosen file's contents after
    const QString done = QStringLiteral("Corvanta|Information|Ok|Marlowind Database successfully saved.");
    const QString overwrite = QStringLiteral("Corvanta|Critical|YesNo|%1 already exists. Do you wish to overwrite?");
    const QByteArray categoryA(" 1 \r\n\"A\"           \"A\"            1 \r\n");
    QTest::newRow("dialog cancelled") << QString() << "A" << QByteArray() << QString() << Answer::No
                                      << SaveOutcome::Cancelled << QStringList{} << QByteArray();
    QTest::newRow("written and reported") << "old/last.kvd" << "A" << QByteArray() << "new.kvd" << Answer::No
                                          << SaveOutcome::Saved << QStringList{done} << categoryA;
    QTest::newRow("existing file kept on no") << QString() << "A" << QByteArray("old") << "c.kvd" << Answer::No
                                              << SaveOutcome::Cancelled << QStringList{overwrite} << QByteArray("old");
    QTest::newRow("existing file replaced on yes") << QString() << "A" << QByteArray("old") << "c.kvd" << Answer::Yes
                                                   << SaveOutcome::Saved << QStringList{overwrite, done} << categoryA;
    QTest::newRow("Temporary left out, with a warning")
        << QString() << Catalog::kTemporaryName << QByteArray() << "t.kvd" << Answer::No << SaveOutcome::Saved
        << QStringList{"Corvanta|Critical|Ok|Temporary folder will not be saved. If you want to save the files in "
                       "the folder, please drag the files to their respective folders.",
                       done}
        << QByteArray(" 0 \r\n");
    QTest::newRow("write failure: unsaved, nothing written")
        << QString() << "A" << QByteArray() << "no such folder/c.kvd" << Answer::No << SaveOutcome::Failed
        << QStringList{"Marlowind|Critical|Ok|An error has occured when trying to save. Please report the error to "
                       "support@corvanta.org.\n76 - Path not found."}
        << QByteArray();
}

void TestCatalogFileCommands::save()
{
    QFETCH(QString, lastUsed);
    QFETCH(QString, root);
    QFETCH(QByteArray, existing);
    QFETCH(QString, saveAs);
    QFETCH(Answer, overwrite);
    QFETCH(SaveOutcome, outcome);
    QFETCH(QStringList, messages);
    const QString last = lastUsed.isEmpty() ? QString() : m_dir->filePath(lastUsed);
    const QString path = saveAs.isEmpty() ? QString() : m_dir->filePath(saveAs);
    m_settings->setDefaultFilePath(last);
    m_catalog->tree().addRoot(root);
    if (root == Catalog::kTemporaryName)
        m_catalog->records().append(MakeFileRecord(QStringLiteral("/x.jpg"), 1, QString()));
    m_catalog->markChanged();
    m_ui->saveFileAnswers = {path};
    if (!existing.isEmpty()) {
        QVERIFY(!catalogFile(saveAs, existing).isEmpty());
        m_ui->answers = {overwrite};
    }

    QCOMPARE(m_commands->save(), outcome);
    const Interaction::FileDialog dialog = m_ui->saveDialogs.value(0);
    QCOMPARE(dialog.filter, QStringLiteral("Marlowind Database (*.kvd);;All Files (*.*)"));
    QCOMPARE(dialog.fileName, last);
    QCOMPARE(dialog.initialFolder, last.isEmpty() ? CatalogFileCommands::programFolder() : QFileInfo(last).path());
    QCOMPARE(m_ui->shownMessages(), messages.replaceInStrings(QStringLiteral("%1"), path));
    QTEST(TestFiles::readFile(path), "written");
    QCOMPARE(QFileInfo::exists(path), !TestFiles::readFile(path).isEmpty());
    QCOMPARE(m_catalog->FileListSaved(), outcome == SaveOutcome::Saved);
    QCOMPARE(m_settings->defaultFilePath(), path.isEmpty() ? last : path); // stored before any question
}

void TestCatalogFileCommands::saveRefusesTooManyCategories()
{
    for (int i = 0; i < 5001; ++i)
        m_catalog->tree().addRoot(QStringLiteral("c"));
    m_catalog->markChanged();
    QCOMPARE(m_commands->save(), SaveOutcome::Failed);
    QVERIFY(m_ui->saveDialogs.isEmpty());
    QCOMPARE(m_ui->shownMessages(), QStringList{"Corvanta|Critical|Ok|This catalog has 5001 categories, but a catalog "
                                               "file holds at most 5000. Please delete some categories, then save again."});

    // With the system category left out, 5001 nodes fit.
    m_catalog->tree().rename(5001, Catalog::kTemporaryName);
    m_ui->saveFileAnswers = {m_dir->filePath(QStringLiteral("big.kvd"))};
    QCOMPARE(m_commands->save(), SaveOutcome::Saved);
}

void TestCatalogFileCommands::saveRefusesWhatIsNoFile()
{
    const QString pipe = m_dir->filePath(QStringLiteral("pipe.kvd"));
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    m_catalog->markChanged();
    m_ui->saveFileAnswers = {pipe};
    QCOMPARE(m_commands->save(), SaveOutcome::Failed);
    QCOMPARE(m_ui->shownMessages(),
             QStringList{"Corvanta|Critical|Ok|The catalog cannot be saved as " + pipe
                         + ": a named pipe is not a file. Please choose another name."});
    struct stat status;
    QVERIFY(::stat(QFile::encodeName(pipe).constData(), &status) == 0 && S_ISFIFO(status.st_mode)); // still the pipe
    QVERIFY(!m_catalog->FileListSaved());
}

void TestCatalogFileCommands::saveProposesTheCatalogsOwnFile_data()
{
    QTest::addColumn<QString>("start"); // how the catalog came to the window
    QTest::addColumn<QString>("proposed"); // by File > Save, the offer of File > Open and closing
    QTest::newRow("from the command line: its own file") << "command line" << "own.kvd";
    QTest::newRow("saved under another name: that file") << "saved as" << "copy.kvd";
    QTest::newRow("File > New: the last file chosen") << "new" << "last.kvd";
    QTest::newRow("empty start: the last file chosen") << "none" << "last.kvd";
}

// The command line names own.kvd while "Default FilePath" still names last.kvd.
void TestCatalogFileCommands::saveProposesTheCatalogsOwnFile()
{
    QFETCH(QString, start);
    const QString own = catalogFile(QStringLiteral("own.kvd"), " 0 \r\n");
    const QString last = catalogFile(QStringLiteral("last.kvd"), " 0 \r\n");
    m_settings->setDefaultFilePath(last);
    m_commands->loadAtStartup(start == QLatin1String("none") ? QString() : own);
    if (start == QLatin1String("saved as")) {
        m_ui->saveFileAnswers = {m_dir->filePath(QStringLiteral("copy.kvd"))};
        QCOMPARE(m_commands->save(), SaveOutcome::Saved);
    } else if (start == QLatin1String("new")) {
        m_ui->answers = {Answer::Yes};
        m_commands->newCatalog();
    }
    const QString stored = m_settings->defaultFilePath();
    m_ui->saveDialogs.clear();
    m_catalog->markChanged();
    m_ui->answers = {Answer::Yes, Answer::Yes}; // save first, to Open and to closing
    m_ui->openFileAnswers = {last};
    m_ui->saveFileAnswers = {QString(), QString(), QString()}; // each Save dialog cancelled

    m_commands->open();
    QVERIFY(!m_commands->confirmClose());
    QCOMPARE(m_commands->save(), SaveOutcome::Cancelled);
    QStringList named;
    for (const Interaction::FileDialog &dialog : m_ui->saveDialogs)
        named << QFileInfo(dialog.fileName).fileName() + QLatin1Char(' ') + QFileInfo(dialog.initialFolder).fileName();
    QFETCH(QString, proposed);
    const QString inFolder = proposed + QLatin1Char(' ') + QFileInfo(m_dir->path()).fileName();
    QCOMPARE(named, (QStringList{inFolder, inFolder, inFolder}));
    QCOMPARE(m_settings->defaultFilePath(), stored); // as written by the dialogs alone
}

void TestCatalogFileCommands::openOffersSaveFirst_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QList<Answer>>("answers"); // to the offer to save, then to overwriting
    QTest::addColumn<bool>("saveDialogAnswered"); // with the current file; or cancelled
    QTest::addColumn<bool>("opens");
    QTest::newRow("saved catalog: no offer") << false << QList<Answer>{} << false << true;
    QTest::newRow("offer taken: the current file saved first")
        << true << QList<Answer>{Answer::Yes, Answer::Yes} << true << true;
    QTest::newRow("offer declined") << true << QList<Answer>{Answer::No} << false << true;
    QTest::newRow("offered save cancelled: stays") << true << QList<Answer>{Answer::Yes} << false << false;
}

void TestCatalogFileCommands::openOffersSaveFirst()
{
    QFETCH(bool, changed);
    QFETCH(QList<Answer>, answers);
    QFETCH(bool, saveDialogAnswered);
    QFETCH(bool, opens);
    const QString current = catalogFile(QStringLiteral("current.kvd"), " 0 \r\n");
    const QString next = catalogFile(QStringLiteral("next.kvd"), "1\r\n\"N\",\"N\",1\r\n");
    m_settings->setDefaultFilePath(current);
    m_catalog->tree().addRoot(QStringLiteral("Edited"));
    changed ? m_catalog->markChanged() : m_catalog->markSaved();
    QSignalSpy replaced(m_commands.get(), &CatalogFileCommands::catalogReplaced);
    m_ui->openFileAnswers = {next};
    m_ui->answers = answers;
    if (answers.value(0) == Answer::Yes)
        m_ui->saveFileAnswers = {saveDialogAnswered ? current : QString()};

    m_commands->open();
    QCOMPARE(m_ui->openDialogs.value(0).title, QStringLiteral("Open"));
    QCOMPARE(m_ui->openDialogs.value(0).fileName, current);
    QCOMPARE(m_ui->shownMessages().value(0),
             changed ? QStringLiteral("Corvanta|None|YesNo|Do you wish to save changes to current FileList?")
                     : QString());
    QCOMPARE(TestFiles::readFile(current).contains("Edited"), saveDialogAnswered);
    QCOMPARE(TestFiles::readFile(next), QByteArray("1\r\n\"N\",\"N\",1\r\n"));
    QCOMPARE(m_catalog->tree().nodeCount(), 1);
    QCOMPARE(m_catalog->tree().node(1)->name, opens ? QStringLiteral("N") : QStringLiteral("Edited"));
    QCOMPARE(m_catalog->FileListSaved(), opens || !changed);
    QCOMPARE(m_settings->defaultFilePath(), opens ? next : current);
    QCOMPARE(replaced.count(), opens ? 1 : 0);
    if (opens)
        QCOMPARE(m_catalog->records().size(), 0); // a loaded catalog has no sentinel
}

void TestCatalogFileCommands::openReportsProblems_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no such file; PIPE: a named pipe; PRESENT: a file that exists
    QTest::addColumn<QStringList>("missing");
    QTest::addColumn<QString>("message"); // how the one message starts, %1 the catalog; empty: none
    QTest::addColumn<QString>("root"); // the catalog's one root afterwards; empty: none
    QTest::addColumn<int>("records");
    QTest::newRow("missing files are left out and listed")
        << QByteArray("0\r\n\"PRESENT\",1,\"\"\r\n\"/nowhere/gone.jpg\",1,\"\"\r\n") << QStringList{"/nowhere/gone.jpg"}
        << QString() << QString() << 1;
    QTest::newRow("malformed: the line where reading stopped")
        << QByteArray("2\r\n\"A\",\"A\",1\r\n\"B\",\"B\",x\r\n") << QStringList{}
        << "Corvanta|Exclamation|Ok|The catalog file %1 could not be read completely. Reading stopped at line 3: "
        << "A" << 0;
    QTest::newRow("missing: the catalog is kept")
        << QByteArray() << QStringList{} << "Corvanta|Critical|Ok|The catalog file %1 could not be opened: 76 - Path not found."
        << "Kept" << 1;
    // Opening it to read would wait for a writer for good.
    QTest::newRow("named pipe: refused, the catalog is kept")
        << QByteArray("PIPE") << QStringList{}
        << "Corvanta|Critical|Ok|The catalog file %1 could not be opened: 75 - Path/File access error (a named pipe is "
           "not a file)."
        << "Kept" << 1;
}

void TestCatalogFileCommands::openReportsProblems()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, missing);
    QFETCH(QString, message);
    QFETCH(QString, root);
    const QString present = catalogFile(QStringLiteral("p.jpg"), "x");
    QString path = content.isEmpty() ? m_dir->filePath(QStringLiteral("absent.kvd"))
                                     : catalogFile(QStringLiteral("c.kvd"), content.replace("PRESENT", present.toUtf8()));
    if (content == "PIPE") {
        QFile::remove(path);
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    }
    m_catalog->tree().addRoot(QStringLiteral("Kept"));
    m_catalog->markSaved();
    const QString before = m_dir->filePath(QStringLiteral("before.kvd"));
    m_settings->setDefaultFilePath(before);
    QSignalSpy reported(m_commands.get(), &CatalogFileCommands::missingFilesFound);
    m_ui->openFileAnswers = {path};

    m_commands->open();
    const bool replaced = root != QLatin1String("Kept");
    QCOMPARE(reported.count(), replaced ? 1 : 0); // every load reports, an empty list too
    QStringList missingPaths;
    if (replaced) {
        const auto records = reported.value(0).value(0).value<std::shared_ptr<MissingRecords>>();
        QCOMPARE(records, m_catalog->missingRecords());
        for (int i = 0; i < records->size(); ++i)
            missingPaths.append(records->path(i));
    }
    QCOMPARE(missingPaths, missing);
    // Remembered only once it stands for the catalog in the window.
    QCOMPARE(m_settings->defaultFilePath(), replaced ? path : before);
    QCOMPARE(m_commands->catalogFile(), replaced ? path : QString());
    QCOMPARE(m_ui->messages.size(), message.isEmpty() ? 0 : 1);
    const QString first = m_ui->shownMessages().value(0);
    QVERIFY2(message.isEmpty() || first.startsWith(message.arg(path)), qPrintable(first));
    QCOMPARE(m_catalog->tree().nodeCount(), root.isEmpty() ? 0 : 1);
    if (!root.isEmpty())
        QCOMPARE(m_catalog->tree().node(1)->name, root);
    QTEST(m_catalog->records().size(), "records");
    QVERIFY(m_catalog->FileListSaved());
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
    QCOMPARE(m_ui->shownMessages(), QStringList{"Corvanta|None|YesNo|Are you sure you want to clear the current "
                                               "list and start a new list?"});
    QCOMPARE(m_catalog->FileListSaved(), savedBefore);
    QCOMPARE(m_catalog->tree().nodeCount(), answer == Answer::No ? 1 : 0);
    if (answer == Answer::Yes) {
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
    QTest::newRow("yes but save failed stays") << Answer::Yes << QStringLiteral("no such folder/s.kvd") << false;
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
    QCOMPARE(m_ui->shownMessages().value(0), QStringLiteral("Corvanta|Critical|YesNoCancel|Your filelist has been "
                                                            "changed since you last saved it. Would you like to save now?"));
}

void TestCatalogFileCommands::startupChoosesCatalog_data()
{
    QTest::addColumn<QStringList>("arguments"); // after the program's name; the first one in the folder
    QTest::addColumn<QString>("lastUsed");
    QTest::addColumn<QString>("expectedRoot"); // empty: the empty catalog
    QTest::newRow("first run") << QStringList{} << QString() << QString();
    QTest::newRow("command line, split at its space")
        << QStringList{"cmd", "catalog.kvd"} << QStringLiteral("last.kvd") << "FromCommandLine";
    QTest::newRow("command line, one argument with a space (desktop's %f)")
        << QStringList{"cmd catalog.kvd"} << QStringLiteral("last.kvd") << "FromCommandLine";
    QTest::newRow("last used") << QStringList{} << QStringLiteral("last.kvd") << "FromSettings";
    QTest::newRow("missing command line file") << QStringList{"gone.kvd"} << QStringLiteral("last.kvd") << QString();
    QTest::newRow("missing last file") << QStringList{} << QStringLiteral("gone.kvd") << QString();
    QTest::newRow("a folder on the command line is no file") << QStringList{"folder"} << QStringLiteral("last.kvd")
                                                             << QString();
    QTest::newRow("a folder as the last file") << QStringList{} << QStringLiteral("folder") << QString();
}

void TestCatalogFileCommands::startupChoosesCatalog()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, lastUsed);
    QFETCH(QString, expectedRoot);
    catalogFile(QStringLiteral("cmd catalog.kvd"), "1\r\n\"FromCommandLine\",\"FromCommandLine\",1\r\n");
    catalogFile(QStringLiteral("last.kvd"), "1\r\n\"FromSettings\",\"FromSettings\",1\r\n");
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder")));
    if (!lastUsed.isEmpty())
        m_settings->setDefaultFilePath(m_dir->filePath(lastUsed));
    if (!arguments.isEmpty())
        arguments.first() = m_dir->filePath(arguments.first());
    m_catalog->markChanged();

    m_commands->loadAtStartup(Startup::catalogPathFromArguments(QStringList{"corvanta"} + arguments));
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
