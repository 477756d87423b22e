#include "AdditionalExtensionsDialog.h"
#include "ExtensionBoxes.h"
#include "ScanDialog.h"
#include "ScanProgressWindow.h"
#include "ScanTestSupport.h"
#include "TestFiles.h"

#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using Interaction::Answer;

namespace {

enum class Start { Search, AllFiles };
enum class TreeSetup { Empty, WithoutTemporary, WithTemporary };

const QString kQuestion = QStringLiteral(
    "Corvanta|none|yesno|If you continue all files in your temporary category will be removed. Do you wish to "
    "continue?");

QString countMessage(const QString &title, int count)
{
    return title + QStringLiteral("|information|ok|A total of %1 files were found").arg(count);
}

QStringList treeNames(const Catalog &catalog)
{
    QStringList names;
    for (int i = 1; i <= catalog.tree().nodeCount(); ++i)
        names.append(catalog.tree().node(i)->name);
    return names;
}

} // namespace

Q_DECLARE_METATYPE(Start)
Q_DECLARE_METATYPE(TreeSetup)
Q_DECLARE_METATYPE(ExtensionBoxes::Group)

class TestScanDialog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void temporaryMessagesAndQuestions_data();
    void temporaryMessagesAndQuestions();
    void selectAllBoxLocksAndFreesItsGroup_data();
    void selectAllBoxLocksAndFreesItsGroup();
    void passesRunInFixedOrderThenAdditional_data();
    void passesRunInFixedOrderThenAdditional();
    void searchWithNothingCheckedFindsNothing();
    void searchAllFilesKeepsTemporaryRecords();
    void rowsKeepTheScannersLowerCaseNames();
    void subfoldersOnlyWhenIncluded_data();
    void subfoldersOnlyWhenIncluded();
    void leftOutFilesAreReportedAfterTheCount();
    void progressWindowDuringAndAfterScan_data();
    void progressWindowDuringAndAfterScan();
    void completedClosesBothWindows();
    void openingAdditionalExtensionsEnablesUntickedGroups();

private:
    ScanDialog *openDialog(const QString &folder);
    // Starts the scan and waits for its result; false when no scan started.
    bool runToEnd(Start start);

    std::unique_ptr<ScanFixture> m_fixture;
    std::unique_ptr<QTemporaryDir> m_dir;
    QPointer<ScanDialog> m_dialog;
};

void TestScanDialog::init()
{
    m_fixture = std::make_unique<ScanFixture>();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestScanDialog::cleanup()
{
    delete m_dialog.data();
    m_fixture.reset();
    m_dir.reset();
}

ScanDialog *TestScanDialog::openDialog(const QString &folder)
{
    m_dialog = new ScanDialog(m_fixture->context());
    m_dialog->setFolder(folder);
    m_dialog->show();
    return m_dialog;
}

bool TestScanDialog::runToEnd(Start start)
{
    QSignalSpy ended(m_dialog.data(), &ScanDialog::scanEnded);
    if (start == Start::Search)
        m_dialog->RunMediaScan();
    else
        m_dialog->RunAllFilesScan();
    if (!m_dialog->isScanning())
        return false;
    return ended.wait(30000);
}

void TestScanDialog::temporaryMessagesAndQuestions_data()
{
    QTest::addColumn<Start>("start");
    QTest::addColumn<TreeSetup>("setup");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QStringList>("expectedMessages");
    QTest::addColumn<bool>("scanRuns");
    QTest::addColumn<bool>("dialogShownDuringScan");
    QTest::addColumn<QStringList>("expectedTree");
    // Names of the files left under "Temporary", in record order; "found" is the new one.
    QTest::addColumn<QStringList>("expectedTemporary");

    const QString noDrives = QStringLiteral("|none|ok|No drives avaliable, creating temporary drive.");
    const QString noTemporary = QStringLiteral("|information|ok|There is no temporary drive, creating one.");
    const QString marlowind = QStringLiteral("Marlowind");
    const QString corvanta = QStringLiteral("Corvanta");
    const QStringList temporaryOnly{QStringLiteral("Temporary")};
    const QStringList photosThenTemporary{QStringLiteral("Photos"), QStringLiteral("Temporary")};
    const QStringList temporaryThenPhotos{QStringLiteral("Temporary"), QStringLiteral("Photos")};
    const QStringList oldRecords{QStringLiteral("old1"), QStringLiteral("old2"), QStringLiteral("old3")};

    QTest::newRow("Search, empty tree, Yes")
        << Start::Search << TreeSetup::Empty << QList<Answer>{Answer::Ok, Answer::Yes}
        << QStringList{marlowind + noDrives, kQuestion, countMessage(marlowind, 0)} << true << false << temporaryOnly
        << QStringList{};
    QTest::newRow("Search, empty tree, No")
        << Start::Search << TreeSetup::Empty << QList<Answer>{Answer::Ok, Answer::No}
        << QStringList{marlowind + noDrives, kQuestion} << false << false << temporaryOnly << QStringList{};
    QTest::newRow("Search, no Temporary") << Start::Search << TreeSetup::WithoutTemporary << QList<Answer>{}
                                          << QStringList{marlowind + noTemporary, countMessage(marlowind, 0)} << true
                                          << true << photosThenTemporary << QStringList{};
    QTest::newRow("Search, Temporary exists, Yes")
        << Start::Search << TreeSetup::WithTemporary << QList<Answer>{Answer::Yes}
        << QStringList{kQuestion, countMessage(marlowind, 0)} << true << false << temporaryThenPhotos << QStringList{};
    QTest::newRow("Search, Temporary exists, No")
        << Start::Search << TreeSetup::WithTemporary << QList<Answer>{Answer::No} << QStringList{kQuestion} << false
        << false << temporaryThenPhotos << oldRecords;
    QTest::newRow("Search All Files, empty tree") << Start::AllFiles << TreeSetup::Empty << QList<Answer>{}
                                                  << QStringList{corvanta + noDrives, countMessage(corvanta, 1)} << true
                                                  << true << temporaryOnly << QStringList{QStringLiteral("found")};
    QTest::newRow("Search All Files, no Temporary")
        << Start::AllFiles << TreeSetup::WithoutTemporary << QList<Answer>{}
        << QStringList{corvanta + noTemporary, countMessage(corvanta, 1)} << true << true << photosThenTemporary
        << QStringList{QStringLiteral("found")};
    QTest::newRow("Search All Files, Temporary exists")
        << Start::AllFiles << TreeSetup::WithTemporary << QList<Answer>{} << QStringList{countMessage(corvanta, 1)}
        << true << true << temporaryThenPhotos << QStringList{QStringLiteral("found")} + oldRecords;
}

void TestScanDialog::temporaryMessagesAndQuestions()
{
    QFETCH(Start, start);
    QFETCH(TreeSetup, setup);
    QFETCH(QList<Answer>, answers);
    QFETCH(QStringList, expectedMessages);
    QFETCH(bool, scanRuns);
    QFETCH(bool, dialogShownDuringScan);
    QFETCH(QStringList, expectedTree);
    QFETCH(QStringList, expectedTemporary);

    ScanFixture &f = *m_fixture;
    const QString found = TestFiles::createFile(m_dir->filePath(QStringLiteral("clip.avi")));
    RecordList &records = f.catalog.records();
    if (setup == TreeSetup::WithoutTemporary) {
        f.catalog.tree().addRoot(QStringLiteral("Photos"));
        records.append(MakeFileRecord(QStringLiteral("/p/photo"), 1, QString()));
    } else if (setup == TreeSetup::WithTemporary) {
        f.catalog.tree().addRoot(QStringLiteral("Temporary"));
        f.catalog.tree().addRoot(QStringLiteral("Photos"));
        // Two of them side by side, one further down.
        records.append(MakeFileRecord(QStringLiteral("old1"), 1, QString()));
        records.append(MakeFileRecord(QStringLiteral("old2"), 1, QString()));
        records.append(MakeFileRecord(QStringLiteral("/p/photo"), 2, QStringLiteral("beach")));
        records.append(MakeFileRecord(QStringLiteral("old3"), 1, QString()));
    }
    f.fileList.appendRow(makeFileListRow(QStringLiteral("/listed/before.jpg"), QString()));
    f.interaction.answers = answers;

    openDialog(m_dir->path());
    QCOMPARE(runToEnd(start), scanRuns);

    QCOMPARE(describeAll(f.interaction.messages), expectedMessages);
    QVERIFY(f.interaction.unexpected.isEmpty());
    QCOMPARE(treeNames(f.catalog), expectedTree);
    const int temporaryIndex = f.catalog.findTemporary();
    QStringList temporaryPaths = f.recordPathsIn(temporaryIndex);
    temporaryPaths.replaceInStrings(found, QStringLiteral("found"));
    QCOMPARE(temporaryPaths, expectedTemporary);
    // Every other record stays where it was, the sentinel first.
    QCOMPARE(records.at(0), kSentinelRecord);
    if (setup != TreeSetup::Empty)
        QCOMPARE(f.recordPathsIn(f.catalog.tree().lastIndexNamed(QStringLiteral("Photos"))),
                 QStringList{QStringLiteral("/p/photo")});

    if (!scanRuns) {
        // No closes the dialog and changes nothing else.
        QTRY_VERIFY(m_dialog.isNull());
        QCOMPARE(f.rowPaths(), QStringList{QStringLiteral("/listed/before.jpg")});
        QVERIFY(f.selectedCategories.isEmpty());
        return;
    }
    QVERIFY(m_dialog);
    QCOMPARE(m_dialog->isVisible(), dialogShownDuringScan);
    QCOMPARE(f.rowPaths(), start == Start::AllFiles ? QStringList{found} : QStringList{});
    QCOMPARE(f.selectedCategories, QList<int>{temporaryIndex});
    QVERIFY(!f.catalog.FileListSaved());
    QVERIFY(f.fileList.isSorted());
    QCOMPARE(f.extensions.count(), 0);
}

void TestScanDialog::selectAllBoxLocksAndFreesItsGroup_data()
{
    QTest::addColumn<ExtensionBoxes::Group>("group");
    QTest::addColumn<QString>("selectAllName");
    QTest::addColumn<QStringList>("boxNames");

    QTest::newRow("All Video") << ExtensionBoxes::Video << QStringLiteral("chkVideo")
                               << QStringList{"chkavi", "chkwmv", "chkmpeg", "chkmpg"};
    QTest::newRow("All Audio") << ExtensionBoxes::Audio << QStringLiteral("chkAudio")
                               << QStringList{"chkmp2", "chkmp1", "chkm2v", "chkm2p", "chkmp3", "chkwav", "chkwma"};
    QTest::newRow("All Images") << ExtensionBoxes::Image << QStringLiteral("chkImage")
                                << QStringList{"chkjpeg", "chkjpg", "chkgif", "chktif", "chkpng", "chkbmp"};
}

void TestScanDialog::selectAllBoxLocksAndFreesItsGroup()
{
    QFETCH(ExtensionBoxes::Group, group);
    QFETCH(QString, selectAllName);
    QFETCH(QStringList, boxNames);

    ScanDialog *dialog = openDialog(m_dir->path());
    auto *selectAll = dialog->findChild<QCheckBox *>(selectAllName);
    QVERIFY(selectAll);
    QCOMPARE(dialog->extensionBoxes()->selectAllBox(group), selectAll);
    QList<QCheckBox *> boxes;
    for (const QString &name : boxNames) {
        boxes.append(dialog->findChild<QCheckBox *>(name));
        QVERIFY2(boxes.last(), qPrintable(name));
        QVERIFY(!boxes.last()->isChecked());
    }
    const QColor normalText = boxes.first()->palette().color(QPalette::WindowText);
    QVERIFY(normalText != ExtensionBoxes::lockedCaptionColour());
    // A box the user ticked by hand goes with the group when the group is freed.
    boxes.last()->setChecked(true);
    auto *otherGroupBox = dialog->findChild<QCheckBox *>(group == ExtensionBoxes::Video ? "chkjpg" : "chkavi");

    selectAll->click();
    for (QCheckBox *box : boxes) {
        QVERIFY(box->isChecked());
        QVERIFY(!box->isEnabled());
        QCOMPARE(box->palette().color(QPalette::WindowText), ExtensionBoxes::lockedCaptionColour());
    }
    QVERIFY(!otherGroupBox->isChecked());
    QVERIFY(otherGroupBox->isEnabled());
    QCOMPARE(dialog->extensionBoxes()->checkedExtensions().size(), boxes.size());

    selectAll->click();
    for (QCheckBox *box : boxes) {
        QVERIFY(!box->isChecked());
        QVERIFY(box->isEnabled());
        QCOMPARE(box->palette().color(QPalette::WindowText), normalText);
    }
    QVERIFY(dialog->extensionBoxes()->checkedExtensions().isEmpty());
}

void TestScanDialog::passesRunInFixedOrderThenAdditional_data()
{
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<QStringList>("additional");
    QTest::addColumn<QStringList>("expectedOrder");
    QTest::addColumn<QStringList>("expectedOrderOfSecondSearch");

    QTest::newRow("one box") << QStringList{"jpg"} << QStringList{} << QStringList{"c.jpg", "D.JPG"}
                             << QStringList{"c.jpg", "D.JPG"};
    QTest::newRow("fixed order whatever the ticking order") << QStringList{"mp3", "bmp", "avi", "jpg"} << QStringList{}
                                                            << QStringList{"a.avi", "b.bmp", "c.jpg", "D.JPG", "e.mp3"}
                                                            << QStringList{"a.avi", "b.bmp", "c.jpg", "D.JPG", "e.mp3"};
    QTest::newRow("additional extensions after the boxes, used once")
        << QStringList{"mp3"} << QStringList{"txt", "avi"} << QStringList{"e.mp3", "f.txt", "a.avi"}
        << QStringList{"e.mp3"};
    QTest::newRow("checked and added: found twice")
        << QStringList{"jpg"} << QStringList{"jpg"} << QStringList{"c.jpg", "D.JPG", "c.jpg", "D.JPG"}
        << QStringList{"c.jpg", "D.JPG"};
    QTest::newRow("every file as the first additional entry")
        << QStringList{} << QStringList{"*"} << QStringList{"a.avi", "b.bmp", "c.jpg", "D.JPG", "e.mp3", "f.txt"}
        << QStringList{};
}

void TestScanDialog::passesRunInFixedOrderThenAdditional()
{
    QFETCH(QStringList, checked);
    QFETCH(QStringList, additional);
    QFETCH(QStringList, expectedOrder);
    QFETCH(QStringList, expectedOrderOfSecondSearch);

    ScanFixture &f = *m_fixture;
    for (const char *name : {"a.avi", "b.bmp", "c.jpg", "D.JPG", "e.mp3", "f.txt", "noext"})
        TestFiles::createFile(m_dir->filePath(QString::fromLatin1(name)));
    f.extensions.setExtensions(additional);
    f.catalog.tree().addRoot(QStringLiteral("Temporary"));
    // Yes to emptying "Temporary", OK to the count, and the same again.
    f.interaction.answers = {Answer::Yes, Answer::Ok, Answer::Yes};
    ScanDialog *dialog = openDialog(m_dir->path());
    for (const QString &extension : checked)
        dialog->extensionBoxes()->box(extension)->setChecked(true);

    QVERIFY(runToEnd(Start::Search));
    QStringList order = f.foundOrder(1);
    order.replaceInStrings(m_dir->path() + QLatin1Char('/'), QString());
    QCOMPARE(order, expectedOrder);
    QCOMPARE(f.interaction.messageTexts().last(),
             QStringLiteral("A total of %1 files were found").arg(expectedOrder.size()));
    QCOMPARE(f.extensions.entry(0), QStringLiteral("0"));
    for (int i = 1; i <= additional.size(); ++i)
        QVERIFY(f.extensions.entry(i).isEmpty());

    // The dialog is still there (hidden), and a second Search runs the boxes alone.
    QVERIFY(runToEnd(Start::Search));
    order = f.foundOrder(1);
    order.replaceInStrings(m_dir->path() + QLatin1Char('/'), QString());
    QCOMPARE(order, expectedOrderOfSecondSearch);
    QVERIFY(f.interaction.unexpected.isEmpty());
}

void TestScanDialog::searchWithNothingCheckedFindsNothing()
{
    ScanFixture &f = *m_fixture;
    TestFiles::createFile(m_dir->filePath(QStringLiteral("a.jpg")));
    f.catalog.tree().addRoot(QStringLiteral("Temporary"));
    f.catalog.records().append(MakeFileRecord(QStringLiteral("/old/a.jpg"), 1, QString()));
    f.fileList.appendRow(makeFileListRow(QStringLiteral("/old/a.jpg"), QString()));
    f.interaction.answers = {Answer::Yes};
    openDialog(m_dir->path());

    QVERIFY(runToEnd(Start::Search));
    QCOMPARE(f.interaction.messageTexts().last(), QStringLiteral("A total of 0 files were found"));
    QCOMPARE(f.fileList.rowCount(), 0);
    QVERIFY(f.recordPathsIn(1).isEmpty());
    QCOMPARE(f.catalog.records().size(), 1);
    QCOMPARE(m_dialog->progressWindow()->button()->text(), QStringLiteral("Completed"));
}

void TestScanDialog::searchAllFilesKeepsTemporaryRecords()
{
    ScanFixture &f = *m_fixture;
    const QString newFile = TestFiles::createFile(m_dir->filePath(QStringLiteral("new.mkv")));
    f.catalog.tree().addRoot(QStringLiteral("Temporary"));
    f.catalog.records().append(MakeFileRecord(QStringLiteral("/old/one.jpg"), 1, QString()));
    f.catalog.records().append(MakeFileRecord(QStringLiteral("/old/two.jpg"), 1, QString()));
    f.fileList.ShowCategoryFiles(f.catalog, 1);
    QCOMPARE(f.fileList.rowCount(), 2);
    openDialog(m_dir->path());

    QVERIFY(runToEnd(Start::AllFiles));
    QCOMPARE(f.rowPaths(), QStringList{newFile});
    QCOMPARE(f.interaction.messageTexts(), QStringList{QStringLiteral("A total of 1 files were found")});
    QCOMPARE(f.recordPathsIn(1),
             (QStringList{newFile, QStringLiteral("/old/one.jpg"), QStringLiteral("/old/two.jpg")}));
    QVERIFY(m_dialog->isVisible());
}

void TestScanDialog::rowsKeepTheScannersLowerCaseNames()
{
    ScanFixture &f = *m_fixture;
    const QString path = TestFiles::createFile(m_dir->filePath(QStringLiteral("Beach.Party.JPG")));
    openDialog(m_dir->path());
    QVERIFY(runToEnd(Start::AllFiles));
    QCOMPARE(f.fileList.rowCount(), 1);
    const FileListRow *row = f.fileList.rowAt(0);
    QCOMPARE(row->name, QStringLiteral("beach.party"));
    QCOMPARE(row->extension, QStringLiteral("jpg"));
    QCOMPARE(row->path, path);
    QVERIFY(row->keywords.isEmpty());
}

void TestScanDialog::subfoldersOnlyWhenIncluded_data()
{
    QTest::addColumn<bool>("includeSubfolders");
    QTest::addColumn<QStringList>("expectedOrder");
    QTest::newRow("included: the folder, then below it depth first")
        << true << QStringList{"x.jpg", "A/A1/x.jpg", "A/A2/x.jpg", "A/x.jpg", "B/x.jpg"};
    QTest::newRow("not included: the folder alone") << false << QStringList{"x.jpg"};
}

void TestScanDialog::subfoldersOnlyWhenIncluded()
{
    QFETCH(bool, includeSubfolders);
    QFETCH(QStringList, expectedOrder);
    ScanFixture &f = *m_fixture;
    for (const char *name : {"x.jpg", "A/x.jpg", "A/A1/x.jpg", "A/A2/x.jpg", "B/x.jpg"})
        TestFiles::createFile(m_dir->filePath(QString::fromLatin1(name)));
    f.includeSubfolders = includeSubfolders;
    f.catalog.tree().addRoot(QStringLiteral("Temporary"));
    f.interaction.answers = {Answer::Yes};
    openDialog(m_dir->path())->extensionBoxes()->box(QStringLiteral("jpg"))->setChecked(true);
    QVERIFY(runToEnd(Start::Search));
    QStringList order = f.foundOrder(1);
    order.replaceInStrings(m_dir->path() + QLatin1Char('/'), QString());
    QCOMPARE(order, expectedOrder);
}

void TestScanDialog::leftOutFilesAreReportedAfterTheCount()
{
    ScanFixture &f = *m_fixture;
    const QString good = TestFiles::createFile(m_dir->filePath(QStringLiteral("good.jpg")));
    QVERIFY(!TestFiles::createFile(m_dir->filePath(QStringLiteral("say \"cheese\".jpg"))).isEmpty());
    QVERIFY(!TestFiles::createFile(m_dir->filePath(QStringLiteral("two\nlines.jpg"))).isEmpty());
    openDialog(m_dir->path());

    QVERIFY(runToEnd(Start::AllFiles));
    QCOMPARE(f.rowPaths(), QStringList{good});
    QCOMPARE(f.recordPathsIn(f.catalog.TemporaryIndex()), QStringList{good});
    QCOMPARE(f.interaction.messages.size(), 3);
    QCOMPARE(describe(f.interaction.messages.at(1)), countMessage(QStringLiteral("Corvanta"), 1));
    const Interaction::Message &leftOut = f.interaction.messages.at(2);
    QCOMPARE(leftOut.title, QStringLiteral("Corvanta"));
    QCOMPARE(leftOut.icon, Interaction::Icon::Information);
    QCOMPARE(leftOut.buttons, Interaction::Buttons::Ok);
    QVERIFY2(leftOut.text.startsWith(QStringLiteral("2 files were left out")), qPrintable(leftOut.text));
    QVERIFY(leftOut.text.contains(QStringLiteral("double quote")));
    QVERIFY(leftOut.text.contains(QStringLiteral("cheese")));
}

void TestScanDialog::progressWindowDuringAndAfterScan_data()
{
    QTest::addColumn<Start>("start");
    QTest::addColumn<bool>("staysOnTop");
    QTest::newRow("Search: on top") << Start::Search << true;
    QTest::newRow("Search All Files: not on top") << Start::AllFiles << false;
}

void TestScanDialog::progressWindowDuringAndAfterScan()
{
    QFETCH(Start, start);
    QFETCH(bool, staysOnTop);
    ScanFixture &f = *m_fixture;
    TestFiles::createFile(m_dir->filePath(QStringLiteral("sub/a.jpg")));
    f.catalog.tree().addRoot(QStringLiteral("Temporary"));
    f.interaction.answers = {Answer::Yes};
    ScanDialog *dialog = openDialog(m_dir->path());
    dialog->extensionBoxes()->box(QStringLiteral("jpg"))->setChecked(true);
    auto *search = dialog->findChild<QPushButton *>(QStringLiteral("cmdSearch"));
    auto *allFiles = dialog->findChild<QPushButton *>(QStringLiteral("cmdAllExtensions"));
    QSignalSpy ended(dialog, &ScanDialog::scanEnded);

    if (start == Start::Search)
        search->click();
    else
        allFiles->click();
    ScanProgressWindow *progress = dialog->progressWindow();
    QVERIFY(progress);
    QVERIFY(progress->isVisible());
    QCOMPARE(progress->windowTitle(), QStringLiteral("Searching"));
    QCOMPARE(progress->objectName(), QStringLiteral("frmSearching"));
    QCOMPARE(bool(progress->windowFlags() & Qt::WindowStaysOnTopHint), staysOnTop);
    QCOMPARE(progress->findChild<QLabel *>(QStringLiteral("Label1"))->text(),
             QStringLiteral("Scanning for files... this may take several minutes."));
    QCOMPARE(progress->findChild<QPushButton *>(QStringLiteral("Command2"))->text(), QStringLiteral("Cancel"));
    // No second scan can start on top of this one.
    QVERIFY(!search->isEnabled());
    QVERIFY(!allFiles->isEnabled());

    QVERIFY(ended.wait(30000));
    QCOMPARE(progress->button()->text(), QStringLiteral("Completed"));
    QVERIFY(progress->isVisible());
    QVERIFY(search->isEnabled());
    QVERIFY(allFiles->isEnabled());
    const QString counts = progress->findChild<QLabel *>(QStringLiteral("lblProgressCounts"))->text();
    QVERIFY2(counts.contains(QStringLiteral("Folders searched: 2")), qPrintable(counts));
    QVERIFY2(counts.contains(QStringLiteral("Files found: 1")), qPrintable(counts));
}

void TestScanDialog::completedClosesBothWindows()
{
    openDialog(m_dir->path());
    QVERIFY(runToEnd(Start::AllFiles));
    QPointer<ScanProgressWindow> progress = m_dialog->progressWindow();
    QVERIFY(progress && progress->isVisible());
    progress->button()->click();
    QTRY_VERIFY(m_dialog.isNull());
    QVERIFY(progress.isNull() || !progress->isVisible());
    QCOMPARE(m_fixture->interaction.messages.size(), 2);
}

void TestScanDialog::openingAdditionalExtensionsEnablesUntickedGroups()
{
    ScanDialog *dialog = openDialog(m_dir->path());
    ExtensionBoxes *boxes = dialog->extensionBoxes();
    boxes->selectAllBox(ExtensionBoxes::Image)->click();
    // Whatever disabled them, opening the dialog frees the groups not ticked as a whole.
    boxes->box(QStringLiteral("avi"))->setEnabled(false);
    boxes->selectAllBox(ExtensionBoxes::Audio)->setEnabled(false);
    boxes->box(QStringLiteral("mp3"))->setEnabled(false);

    dialog->findChild<QPushButton *>(QStringLiteral("cmdAdditionalExtensions"))->click();
    QVERIFY(dialog->additionalExtensionsDialog());
    QVERIFY(dialog->additionalExtensionsDialog()->isVisible());
    QVERIFY(boxes->box(QStringLiteral("avi"))->isEnabled());
    QVERIFY(boxes->selectAllBox(ExtensionBoxes::Audio)->isEnabled());
    QVERIFY(boxes->box(QStringLiteral("mp3"))->isEnabled());
    for (QCheckBox *box : boxes->boxesOf(ExtensionBoxes::Image)) {
        QVERIFY(!box->isEnabled());
        QVERIFY(box->isChecked());
    }
}

QTEST_MAIN(TestScanDialog)
#include "tst_scan_dialog.moc"
