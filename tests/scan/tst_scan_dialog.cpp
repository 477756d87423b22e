#include "AdditionalExtensionsDialog.h"
#include "ExtensionBoxes.h"
#include "ScanDialog.h"
#include "ScanProgressWindow.h"
#include "ScanTestSupport.h"
#include "ScanWindows.h"
#include "TestFiles.h"

#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

using Interaction::Answer;

namespace {

enum class Start { Search, AllFiles };
enum class TreeSetup { Empty, WithoutTemporary, WithTemporary };

const QString kQuestion = QStringLiteral(
    "Corvanta|None|YesNo|If you continue all files in your temporary category will be removed. Do you wish to "
    "continue?");

QString countMessage(const QString &title, int count)
{
    return title + QStringLiteral("|Information|Ok|A total of %1 files were found").arg(count);
}

// The tree the cancel tests scan: nothing in the start folder itself, so every folder
// with files is finished as soon as it has been read, and a report beyond one folder's
// files means one was finished.
constexpr int kFolders = 150;
constexpr int kFilesPerFolder = 40;
constexpr int kAllFiles = kFolders * kFilesPerFolder;

} // namespace

Q_DECLARE_METATYPE(Start)
Q_DECLARE_METATYPE(TreeSetup)

// The scan dialog with its progress window: messages, boxes, passes, and cancelling.
class TestScanDialog : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ScanFixture> m_fixture;
    std::unique_ptr<QTemporaryDir> m_dir;
    QTemporaryDir m_bigTree;
    QPointer<ScanDialog> m_dialog;

    ScanDialog *openDialog(const QString &folder)
    {
        m_dialog = new ScanDialog(m_fixture->context());
        m_dialog->setFolder(folder);
        m_dialog->show();
        return m_dialog;
    }

    // Starts the scan and waits for its result; false when no scan started.
    bool runToEnd(Start start)
    {
        QSignalSpy ended(m_dialog.data(), &ScanDialog::scanEnded);
        if (start == Start::Search)
            m_dialog->RunMediaScan();
        else
            m_dialog->RunAllFilesScan();
        return m_dialog->isScanning() && ended.wait(30000);
    }

    // Photos (1) with one record, Temporary (2), and an additional extension.
    void prepareCatalogToCancel()
    {
        m_fixture->catalog.tree().addRoot(QStringLiteral("Photos"));
        m_fixture->catalog.tree().addRoot(QStringLiteral("Temporary"));
        m_fixture->catalog.records().append(MakeFileRecord(QStringLiteral("/kept/photo.jpg"), 1, QString()));
        m_fixture->extensions.setExtensions({QStringLiteral("gif")});
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_bigTree.isValid());
        for (int folder = 0; folder < kFolders; ++folder) {
            for (int file = 0; file < kFilesPerFolder; ++file)
                QVERIFY(!TestFiles::createFile(m_bigTree.filePath(QStringLiteral("d%1/f%2.jpg").arg(folder).arg(file)))
                             .isEmpty());
        }
    }

    void init()
    {
        m_fixture = std::make_unique<ScanFixture>();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void cleanup()
    {
        delete m_dialog.data();
        // The Additional Extensions dialog outlives the scan dialog by design; it must
        // not outlive the fixture whose settings and table it uses.
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (qobject_cast<AdditionalExtensionsDialog *>(window))
                delete window;
        }
        m_fixture.reset();
        m_dir.reset();
    }

    void temporaryMessagesAndQuestions_data()
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

        const QString noDrives = QStringLiteral("|None|Ok|No drives avaliable, creating temporary drive.");
        const QString noTemporary = QStringLiteral("|Information|Ok|There is no temporary drive, creating one.");
        const QString search = QStringLiteral("Marlowind");
        const QString allFiles = QStringLiteral("Corvanta");
        const QStringList temporaryOnly{"Temporary"};
        const QStringList photosFirst{"Photos", "Temporary"};
        const QStringList temporaryFirst{"Temporary", "Photos"};
        const QStringList old{"old1", "old2", "old3"};
        const QStringList found{"found"};
        using Answers = QList<Answer>;

        QTest::newRow("Search, empty tree, Yes")
            << Start::Search << TreeSetup::Empty << Answers{Answer::Ok, Answer::Yes}
            << QStringList{search + noDrives, kQuestion, countMessage(search, 0)} << true << false << temporaryOnly
            << QStringList{};
        QTest::newRow("Search, empty tree, No") << Start::Search << TreeSetup::Empty << Answers{Answer::Ok, Answer::No}
                                                << QStringList{search + noDrives, kQuestion} << false << false
                                                << temporaryOnly << QStringList{};
        QTest::newRow("Search, no Temporary") << Start::Search << TreeSetup::WithoutTemporary << Answers{}
                                              << QStringList{search + noTemporary, countMessage(search, 0)} << true
                                              << true << photosFirst << QStringList{};
        QTest::newRow("Search, Temporary exists, Yes")
            << Start::Search << TreeSetup::WithTemporary << Answers{Answer::Yes}
            << QStringList{kQuestion, countMessage(search, 0)} << true << false << temporaryFirst << QStringList{};
        QTest::newRow("Search, Temporary exists, No") << Start::Search << TreeSetup::WithTemporary
                                                      << Answers{Answer::No} << QStringList{kQuestion} << false
                                                      << false << temporaryFirst << old;
        QTest::newRow("Search All Files, empty tree")
            << Start::AllFiles << TreeSetup::Empty << Answers{}
            << QStringList{allFiles + noDrives, countMessage(allFiles, 1)} << true << true << temporaryOnly << found;
        QTest::newRow("Search All Files, no Temporary")
            << Start::AllFiles << TreeSetup::WithoutTemporary << Answers{}
            << QStringList{allFiles + noTemporary, countMessage(allFiles, 1)} << true << true << photosFirst << found;
        QTest::newRow("Search All Files, Temporary exists")
            << Start::AllFiles << TreeSetup::WithTemporary << Answers{} << QStringList{countMessage(allFiles, 1)}
            << true << true << temporaryFirst << found + old;
    }

    void temporaryMessagesAndQuestions()
    {
        QFETCH(Start, start);
        QFETCH(TreeSetup, setup);
        QFETCH(QList<Answer>, answers);
        QFETCH(bool, scanRuns);

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
        f.fileList.appendRow(QStringLiteral("/listed/before.jpg"), QString());
        f.interaction.answers = answers;

        openDialog(m_dir->path());
        QCOMPARE(runToEnd(start), scanRuns);

        QTEST(f.interaction.shownMessages(), "expectedMessages");
        QVERIFY(f.interaction.unexpected.isEmpty());
        QStringList treeNames;
        for (int i = 1; i <= f.catalog.tree().nodeCount(); ++i)
            treeNames.append(f.catalog.tree().node(i)->name);
        QTEST(treeNames, "expectedTree");
        const int temporaryIndex = f.catalog.findTemporary();
        QStringList temporaryPaths = f.recordPathsIn(temporaryIndex);
        temporaryPaths.replaceInStrings(found, QStringLiteral("found"));
        QTEST(temporaryPaths, "expectedTemporary");
        // Every other record stays where it was, the sentinel first.
        QCOMPARE(records.at(0), kSentinelRecord);
        if (setup != TreeSetup::Empty)
            QCOMPARE(f.recordPathsIn(f.catalog.tree().lastRootIndexNamed(QStringLiteral("Photos"))),
                     QStringList{QStringLiteral("/p/photo")});

        if (!scanRuns) {
            // No closes the dialog and changes nothing else.
            QTRY_VERIFY(m_dialog.isNull());
            QCOMPARE(f.rowPaths(), QStringList{QStringLiteral("/listed/before.jpg")});
            QVERIFY(f.selectedCategories.isEmpty());
            return;
        }
        QVERIFY(m_dialog);
        QTEST(m_dialog->isVisible(), "dialogShownDuringScan");
        QCOMPARE(f.rowPaths(), start == Start::AllFiles ? QStringList{found} : QStringList{});
        QCOMPARE(f.selectedCategories, QList<int>{temporaryIndex});
        QVERIFY(!f.catalog.FileListSaved());
        QVERIFY(f.fileList.isSorted());
    }

    void selectAllBoxLocksAndFreesItsGroup_data()
    {
        QTest::addColumn<QString>("selectAllName");
        QTest::addColumn<QStringList>("boxNames");
        QTest::addColumn<QString>("boxOfAnotherGroup");

        QTest::newRow("All Video") << "chkVideo" << QStringList{"chkavi", "chkwmv", "chkmpeg", "chkmpg"} << "chkjpg";
        QTest::newRow("All Audio") << "chkAudio"
                                   << QStringList{"chkmp2", "chkmp1", "chkm2v", "chkm2p", "chkmp3", "chkwav", "chkwma"}
                                   << "chkavi";
        QTest::newRow("All Images") << "chkImage"
                                    << QStringList{"chkjpeg", "chkjpg", "chkgif", "chktif", "chkpng", "chkbmp"}
                                    << "chkavi";
    }

    void selectAllBoxLocksAndFreesItsGroup()
    {
        QFETCH(QString, selectAllName);
        QFETCH(QStringList, boxNames);
        QFETCH(QString, boxOfAnotherGroup);

        ScanDialog *dialog = openDialog(m_dir->path());
        auto *selectAll = dialog->findChild<QCheckBox *>(selectAllName);
        auto *otherGroupBox = dialog->findChild<QCheckBox *>(boxOfAnotherGroup);
        QVERIFY(selectAll && otherGroupBox);
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

    void additionalExtensionsFreeUntickedGroupsAndOutliveTheScanDialog()
    {
        ScanDialog *dialog = openDialog(m_dir->path());
        ExtensionBoxes *boxes = dialog->extensionBoxes();
        boxes->selectAllBox(ExtensionBoxes::Image)->click();
        // Whatever disabled them, opening the dialog frees the groups not ticked as a whole.
        boxes->box(QStringLiteral("avi"))->setEnabled(false);
        boxes->selectAllBox(ExtensionBoxes::Audio)->setEnabled(false);
        boxes->box(QStringLiteral("mp3"))->setEnabled(false);

        dialog->findChild<QPushButton *>(QStringLiteral("cmdAdditionalExtensions"))->click();
        QVERIFY(dialog->additionalExtensionsDialog() && dialog->additionalExtensionsDialog()->isVisible());
        QVERIFY(boxes->box(QStringLiteral("avi"))->isEnabled());
        QVERIFY(boxes->selectAllBox(ExtensionBoxes::Audio)->isEnabled());
        QVERIFY(boxes->box(QStringLiteral("mp3"))->isEnabled());
        for (QCheckBox *box : boxes->boxesOf(ExtensionBoxes::Image)) {
            QVERIFY(!box->isEnabled());
            QVERIFY(box->isChecked());
        }

        // It lives on when the scan dialog closes, until its own Continue stores its list.
        QPointer<AdditionalExtensionsDialog> additional = dialog->additionalExtensionsDialog();
        dialog->close();
        QTRY_VERIFY(m_dialog.isNull());
        QVERIFY(additional);
        QVERIFY(additional->isVisible());
        m_fixture->interaction.promptAnswers = {QStringLiteral("ini")};
        additional->findChild<QPushButton *>(QStringLiteral("cmdAdd"))->click();
        additional->findChild<QPushButton *>(QStringLiteral("cmdContinue"))->click();
        QCOMPARE(m_fixture->extensions.extensions(), QStringList{QStringLiteral("ini")});
        QTRY_VERIFY(additional.isNull());
    }

    void passesRunInFixedOrderThenAdditional_data()
    {
        QTest::addColumn<QStringList>("checked");
        QTest::addColumn<QStringList>("additional");
        QTest::addColumn<QStringList>("expectedOrder");
        QTest::addColumn<QStringList>("expectedOrderOfSecondSearch");

        const QStringList jpgs{"c.jpg", "D.JPG"};
        const QStringList fourKinds{"a.avi", "b.bmp", "c.jpg", "D.JPG", "e.mp3"};
        QTest::newRow("fixed order whatever the ticking order")
            << QStringList{"mp3", "bmp", "avi", "jpg"} << QStringList{} << fourKinds << fourKinds;
        QTest::newRow("additional extensions after the boxes, used once")
            << QStringList{"mp3"} << QStringList{"txt", "avi"} << QStringList{"e.mp3", "f.txt", "a.avi"}
            << QStringList{"e.mp3"};
        QTest::newRow("every file as the first additional entry")
            << QStringList{} << QStringList{"*"} << fourKinds + QStringList{"f.txt"} << QStringList{};
    }

    void passesRunInFixedOrderThenAdditional()
    {
        QFETCH(QStringList, checked);
        QFETCH(QStringList, additional);
        QFETCH(QStringList, expectedOrder);

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
        QCOMPARE(f.foundOrder(1, m_dir->path()), expectedOrder);
        QCOMPARE(f.interaction.messageTexts().last(),
                 QStringLiteral("A total of %1 files were found").arg(expectedOrder.size()));
        QCOMPARE(f.extensions.entry(0), QStringLiteral("0"));
        for (int i = 1; i <= additional.size(); ++i)
            QVERIFY(f.extensions.entry(i).isEmpty());

        // The dialog is still there (hidden), and a second Search runs the boxes alone.
        QVERIFY(runToEnd(Start::Search));
        QTEST(f.foundOrder(1, m_dir->path()), "expectedOrderOfSecondSearch");
        QVERIFY(f.interaction.unexpected.isEmpty());
    }

    void allFilesListsWhatTheCatalogCanHoldAndReportsTheRest()
    {
        ScanFixture &f = *m_fixture;
        const QString good = TestFiles::createFile(m_dir->filePath(QStringLiteral("Beach.Party.JPG")));
        QVERIFY(!TestFiles::createFile(m_dir->filePath(QStringLiteral("say \"cheese\".jpg"))).isEmpty());
        QVERIFY(!TestFiles::createFile(m_dir->filePath(QStringLiteral("two\nlines.jpg"))).isEmpty());
        // Search All Files passes over names without an extension.
        QVERIFY(!TestFiles::createFile(m_dir->filePath(QStringLiteral("README"))).isEmpty());
        openDialog(m_dir->path());

        QVERIFY(runToEnd(Start::AllFiles));
        QCOMPARE(f.rowPaths(), QStringList{good});
        // The row keeps the scanner's lower-case cells.
        const std::optional<FileListRow> row = f.fileList.rowAt(0);
        QCOMPARE(row->name, QStringLiteral("beach.party"));
        QCOMPARE(row->extension, QStringLiteral("jpg"));
        QVERIFY(row->keywords.isEmpty());
        QCOMPARE(f.recordPathsIn(f.catalog.TemporaryIndex()), QStringList{good});
        QCOMPARE(f.interaction.messages.size(), 3);
        QCOMPARE(f.interaction.shownMessages().at(1), countMessage(QStringLiteral("Corvanta"), 1));
        const QString leftOut = f.interaction.shownMessages().at(2);
        QVERIFY2(leftOut.startsWith(QStringLiteral("Corvanta|Information|Ok|2 files were left out because their paths "
                                                   "contain a double quote")),
                 qPrintable(leftOut));
        QVERIFY(leftOut.contains(QStringLiteral("cheese")));
    }

    void foldersThatCouldNotBeReadAreReported()
    {
        ScanFixture &f = *m_fixture;
        openDialog(m_dir->filePath(QStringLiteral("gone"))); // removed before the search
        QVERIFY(runToEnd(Start::AllFiles));
        QCOMPARE(f.interaction.shownMessages().last(),
                 QStringLiteral("Corvanta|Information|Ok|1 folder could not be read, so files in it may be missing "
                                "from the list.\n")
                     + m_dir->filePath(QStringLiteral("gone")));
    }

    void progressWindowDuringAndAfterScan_data()
    {
        QTest::addColumn<Start>("start");
        QTest::addColumn<bool>("staysOnTop");
        QTest::addColumn<bool>("includeSubfolders");
        QTest::addColumn<int>("foldersSearched");
        QTest::addColumn<int>("filesFound");
        QTest::newRow("Search: on top, the folders below searched too") << Start::Search << true << true << 2 << 2;
        QTest::newRow("Search All Files: not on top, the folder alone") << Start::AllFiles << false << false << 1 << 1;
    }

    void progressWindowDuringAndAfterScan()
    {
        QFETCH(Start, start);
        QFETCH(bool, staysOnTop);
        QFETCH(int, foldersSearched);
        QFETCH(int, filesFound);
        QFETCH(bool, includeSubfolders);
        ScanFixture &f = *m_fixture;
        TestFiles::createFile(m_dir->filePath(QStringLiteral("a.jpg")));
        TestFiles::createFile(m_dir->filePath(QStringLiteral("sub/b.jpg")));
        f.includeSubfolders = includeSubfolders;
        f.catalog.tree().addRoot(QStringLiteral("Temporary"));
        f.interaction.answers = {Answer::Yes};
        ScanDialog *dialog = openDialog(m_dir->path());
        dialog->extensionBoxes()->box(QStringLiteral("jpg"))->setChecked(true);
        auto *search = dialog->findChild<QPushButton *>(QStringLiteral("cmdSearch"));
        auto *allFiles = dialog->findChild<QPushButton *>(QStringLiteral("cmdAllExtensions"));
        QSignalSpy ended(dialog, &ScanDialog::scanEnded);

        (start == Start::Search ? search : allFiles)->click();
        QPointer<ScanProgressWindow> progress = dialog->progressWindow();
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
        QVERIFY2(counts.contains(QStringLiteral("Folders searched: %1").arg(foldersSearched)), qPrintable(counts));
        QVERIFY2(counts.contains(QStringLiteral("Files found: %1").arg(filesFound)), qPrintable(counts));
        QCOMPARE(f.interaction.messageTexts().last(), QStringLiteral("A total of %1 files were found").arg(filesFound));

        // Completed closes both windows, without another word.
        const qsizetype messages = f.interaction.messages.size();
        progress->button()->click();
        QTRY_VERIFY(m_dialog.isNull());
        QVERIFY(progress.isNull() || !progress->isVisible());
        QCOMPARE(f.interaction.messages.size(), messages);
    }

    void cancelClosesBothWindowsQuietly_data()
    {
        QTest::addColumn<bool>("afterAFolderWasFiled");
        QTest::addColumn<bool>("byTitleBar");
        QTest::addColumn<QStringList>("messages");
        const QStringList question{"If you continue all files in your temporary category will be removed. Do you "
                                   "wish to continue?"};
        QTest::newRow("Cancel right after the start") << false << false << QStringList{};
        QTest::newRow("the title bar's close button right after the start") << false << true << QStringList{};
        QTest::newRow("Cancel once a folder was filed") << true << false << question;
    }

    // A cancel empties the list and closes both windows at once and without a word; what
    // was filed before it stays filed, and the next scan runs as ever.
    void cancelClosesBothWindowsQuietly()
    {
        QFETCH(bool, afterAFolderWasFiled);
        QFETCH(bool, byTitleBar);
        ScanFixture &f = *m_fixture;
        prepareCatalogToCancel();
        ScanDialog *dialog = openDialog(m_bigTree.path());
        QPointer<ScanProgressWindow> progress;
        bool cancelled = false;
        ScanProgress lastReport;
        connect(dialog, &ScanDialog::scanProgressed, this, [&](const ScanProgress &report) { lastReport = report; });
        const auto cancel = [&] {
            cancelled = true;
            if (byTitleBar)
                QVERIFY(progress->windowHandle() && progress->windowHandle()->close());
            else
                progress->button()->click();
        };
        if (afterAFolderWasFiled) {
            f.interaction.answers = {Answer::Yes};
            dialog->extensionBoxes()->box(QStringLiteral("jpg"))->setChecked(true);
            // Pressed from within a progress report: the worker may have walked on, even to
            // the end (a fast disk walks this tree between two reports), but the press always
            // comes before the job's end is delivered. Where exactly a walk stops is the
            // scanner's own tests' business.
            connect(dialog, &ScanDialog::scanProgressed, this, [&](const ScanProgress &report) {
                if (!cancelled && report.filesFound > kFilesPerFolder)
                    cancel();
            });
            dialog->findChild<QPushButton *>(QStringLiteral("cmdSearch"))->click();
            progress = dialog->progressWindow();
            QVERIFY(dialog->isScanning());
            QTRY_VERIFY_WITH_TIMEOUT(cancelled, 20000);
        } else {
            dialog->RunAllFilesScan();
            progress = dialog->progressWindow();
            QVERIFY(progress && progress->isVisible());
            QCOMPARE(progress->button()->text(), QStringLiteral("Cancel"));
            cancel();
        }
        // Both windows are out of sight at once, before the walk has even reported back.
        QVERIFY(progress.isNull() || !progress->isVisible());
        QVERIFY(m_dialog.isNull() || !m_dialog->isVisible());
        QCOMPARE(f.fileList.rowCount(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(m_dialog.isNull(), 20000);
        QCOMPARE(f.fileList.rowCount(), 0);
        QTEST(f.interaction.messageTexts(), "messages");
        QVERIFY(f.interaction.unexpected.isEmpty());
        // The steps after the walk still ran.
        QCOMPARE(f.selectedCategories, QList<int>{2});
        QCOMPARE(f.extensions.count(), 0);
        QVERIFY(!f.catalog.FileListSaved());
        QCOMPARE(f.recordPathsIn(1), QStringList{QStringLiteral("/kept/photo.jpg")});
        // Every file found before the press is filed, and nothing after it.
        QCOMPARE(f.recordPathsIn(2).size(), lastReport.filesFound);
        if (afterAFolderWasFiled)
            QVERIFY(lastReport.filesFound > kFilesPerFolder);

        f.interaction.messages.clear();
        const QString next = TestFiles::createFile(m_dir->filePath(QStringLiteral("next.jpg")));
        openDialog(m_dir->path());
        QVERIFY(runToEnd(Start::AllFiles));
        QCOMPARE(f.rowPaths(), QStringList{next});
        QCOMPARE(f.interaction.messageTexts(), QStringList{QStringLiteral("A total of 1 files were found")});
        QCOMPARE(m_dialog->progressWindow()->button()->text(), QStringLiteral("Completed"));
    }

    void rowsGoInBatchesTheWindowAnswersBetween_data()
    {
        QTest::addColumn<bool>("cancelAfterFirstBatch");
        QTest::newRow("to the end") << false;
        QTest::newRow("cancelled after the first batch") << true;
    }

    // The end of a big scan never holds the window: the rows go into the list in
    // batches, already in order, with the event loop running between two of them.
    void rowsGoInBatchesTheWindowAnswersBetween()
    {
        QFETCH(bool, cancelAfterFirstBatch);
        ScanFixture &f = *m_fixture;
        f.catalog.tree().addRoot(QStringLiteral("Temporary"));
        ScanDialog *dialog = openDialog(m_bigTree.path());
        int batches = 0;
        int turnsBetween = 0;
        int resorts = 0;
        QTimer probe;
        probe.setInterval(0);
        connect(&probe, &QTimer::timeout, this, [&] {
            if (batches > 0)
                ++turnsBetween;
        });
        connect(&f.fileList, &QAbstractItemModel::rowsInserted, this, [&] {
            ++batches;
            if (cancelAfterFirstBatch && batches == 1)
                dialog->progressWindow()->button()->click();
        });
        connect(&f.fileList, &QAbstractItemModel::layoutChanged, this, [&] {
            if (batches > 0)
                ++resorts;
        });
        probe.start();
        QSignalSpy ended(dialog, &ScanDialog::scanEnded);
        dialog->RunAllFilesScan();
        QVERIFY(ended.wait(30000));

        QCOMPARE(resorts, 0);
        QCOMPARE(f.recordPathsIn(1).size(), kAllFiles);
        if (cancelAfterFirstBatch) {
            QCOMPARE(batches, 1);
            QCOMPARE(f.fileList.rowCount(), 0);
            QVERIFY(f.interaction.messages.isEmpty());
            return;
        }
        QVERIFY2(batches > 1, qPrintable(QString::number(batches)));
        QVERIFY(turnsBetween >= batches - 1);
        QCOMPARE(f.fileList.rowCount(), kAllFiles);
        QVERIFY(f.fileList.isSorted());
        for (int row = 1; row < f.fileList.rowCount(); ++row)
            QVERIFY(f.fileList.rowAt(row - 1)->name.compare(f.fileList.rowAt(row)->name, Qt::CaseInsensitive) <= 0);
    }

    void importingAgainDuringTheCancelGivesAFreshDialog()
    {
        prepareCatalogToCancel();
        QWidget mainWindow;
        ScanWindows windows(m_fixture->context(), &mainWindow, [this] { return QStringList{m_bigTree.path()}; });
        m_dialog = windows.showScanDialog(m_bigTree.path());
        m_dialog->RunAllFilesScan();
        m_dialog->progressWindow()->button()->click();
        QVERIFY(m_dialog->isClosingAfterScan());

        QPointer<ScanDialog> fresh = windows.showScanDialog(m_bigTree.path());
        QVERIFY(fresh != m_dialog);
        QTRY_VERIFY_WITH_TIMEOUT(m_dialog.isNull(), 20000);
        // The old dialog closing must not take the new one with it.
        QVERIFY(fresh);
        QVERIFY(fresh->isVisible());
        QCOMPARE(windows.scanDialog(), fresh.data());
    }
};

QTEST_MAIN(TestScanDialog)
#include "tst_scan_dialog.moc"
