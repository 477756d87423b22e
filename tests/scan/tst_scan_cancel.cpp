#include "ExtensionBoxes.h"
#include "ScanDialog.h"
#include "ScanProgressWindow.h"
#include "ScanTestSupport.h"
#include "ScanWindows.h"
#include "TestFiles.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

namespace {

constexpr int kFolders = 150;
constexpr int kFilesPerFolder = 40;
constexpr int kAllFiles = kFolders * kFilesPerFolder;

} // namespace

// Cancelling a scan from its progress window: the list empties, both windows go at
// once without a word, and what was filed before the cancel stays filed.
class TestScanCancel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void cancelRightAfterStart();
    void cancelAfterFilesWereFoundKeepsTheirRecords();
    void closingTheProgressWindowCancels();
    void importingAgainDuringTheCancelGivesAFreshDialog();

private:
    ScanDialog *openDialog();
    void checkQuietlyClosed(QPointer<ScanProgressWindow> progress, const QStringList &messagesBefore = {});
    void checkNextScanRunsNormally();

    QTemporaryDir m_dir;
    std::unique_ptr<ScanFixture> m_fixture;
    QPointer<ScanDialog> m_dialog;
};

void TestScanCancel::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Nothing in the start folder itself: every folder with files is finished as soon as
    // it has been read, so a report beyond one folder's files means one was finished.
    for (int folder = 0; folder < kFolders; ++folder) {
        for (int file = 0; file < kFilesPerFolder; ++file) {
            QVERIFY(
                !TestFiles::createFile(m_dir.filePath(QStringLiteral("d%1/f%2.jpg").arg(folder).arg(file))).isEmpty());
        }
    }
}

void TestScanCancel::init()
{
    m_fixture = std::make_unique<ScanFixture>();
    m_fixture->catalog.tree().addRoot(QStringLiteral("Photos"));
    m_fixture->catalog.tree().addRoot(QStringLiteral("Temporary"));
    m_fixture->catalog.records().append(MakeFileRecord(QStringLiteral("/kept/photo.jpg"), 1, QString()));
    m_fixture->extensions.setExtensions({QStringLiteral("gif")});
}

void TestScanCancel::cleanup()
{
    delete m_dialog.data();
    m_fixture.reset();
}

ScanDialog *TestScanCancel::openDialog()
{
    m_dialog = new ScanDialog(m_fixture->context());
    m_dialog->setFolder(m_dir.path());
    m_dialog->show();
    return m_dialog;
}

void TestScanCancel::checkQuietlyClosed(QPointer<ScanProgressWindow> progress, const QStringList &messagesBefore)
{
    ScanFixture &f = *m_fixture;
    // Both windows are out of sight at once, before the walk has even reported back.
    QVERIFY(progress.isNull() || !progress->isVisible());
    QVERIFY(m_dialog.isNull() || !m_dialog->isVisible());
    QCOMPARE(f.fileList.rowCount(), 0);

    QTRY_VERIFY_WITH_TIMEOUT(m_dialog.isNull(), 20000);
    QCOMPARE(f.fileList.rowCount(), 0);
    QCOMPARE(f.interaction.messageTexts(), messagesBefore);
    QVERIFY(f.interaction.unexpected.isEmpty());
    // The steps after the walk still ran.
    QCOMPARE(f.selectedCategories, QList<int>{2});
    QCOMPARE(f.extensions.count(), 0);
    QVERIFY(!f.catalog.FileListSaved());
    QCOMPARE(f.recordPathsIn(1), QStringList{QStringLiteral("/kept/photo.jpg")});
    QVERIFY(f.recordPathsIn(2).size() <= kAllFiles);
}

void TestScanCancel::checkNextScanRunsNormally()
{
    ScanFixture &f = *m_fixture;
    f.interaction.messages.clear();
    f.selectedCategories.clear();
    ScanDialog *dialog = openDialog();
    QSignalSpy ended(dialog, &ScanDialog::scanEnded);
    dialog->RunAllFilesScan();
    QVERIFY(ended.wait(30000));
    QCOMPARE(f.fileList.rowCount(), kAllFiles);
    QCOMPARE(f.interaction.messageTexts(),
             QStringList{QStringLiteral("A total of %1 files were found").arg(kAllFiles)});
    QCOMPARE(dialog->progressWindow()->button()->text(), QStringLiteral("Completed"));
}

void TestScanCancel::cancelRightAfterStart()
{
    ScanDialog *dialog = openDialog();
    dialog->RunAllFilesScan();
    QPointer<ScanProgressWindow> progress = dialog->progressWindow();
    QVERIFY(progress && progress->isVisible());
    QCOMPARE(progress->button()->text(), QStringLiteral("Cancel"));

    QElapsedTimer sinceCancel;
    sinceCancel.start();
    progress->button()->click();
    checkQuietlyClosed(progress);
    if (QTest::currentTestFailed())
        return;
    // The walk stops at the next folder entry it reads; a generous bound for busy machines.
    QVERIFY2(sinceCancel.elapsed() < 5000, qPrintable(QString::number(sinceCancel.elapsed())));
    checkNextScanRunsNormally();
}

void TestScanCancel::cancelAfterFilesWereFoundKeepsTheirRecords()
{
    ScanFixture &f = *m_fixture;
    f.interaction.answers = {Interaction::Answer::Yes};
    ScanDialog *dialog = openDialog();
    dialog->extensionBoxes()->box(QStringLiteral("jpg"))->setChecked(true);
    bool cancelled = false;
    // Pressed from within a progress report: the worker may have walked on, even to the
    // end (a fast disk walks this tree between two reports), but the press always comes
    // before the job's end is delivered. Where exactly a walk stops is the scanner's
    // own tests' business.
    connect(dialog, &ScanDialog::scanProgressed, this, [&](const ScanProgress &progress) {
        if (cancelled || progress.filesFound <= kFilesPerFolder)
            return;
        cancelled = true;
        dialog->progressWindow()->button()->click();
    });
    dialog->findChild<QPushButton *>(QStringLiteral("cmdSearch"))->click();
    QPointer<ScanProgressWindow> progress = dialog->progressWindow();
    QVERIFY(dialog->isScanning());
    QTRY_VERIFY_WITH_TIMEOUT(cancelled, 20000);
    checkQuietlyClosed(progress,
                       {QStringLiteral("If you continue all files in your temporary category will be "
                                       "removed. Do you wish to continue?")});
    if (QTest::currentTestFailed())
        return;
    // The folder finished before the press is filed.
    QVERIFY2(f.recordPathsIn(2).size() >= kFilesPerFolder, qPrintable(QString::number(f.recordPathsIn(2).size())));
    checkNextScanRunsNormally();
}

void TestScanCancel::closingTheProgressWindowCancels()
{
    ScanDialog *dialog = openDialog();
    dialog->RunAllFilesScan();
    QPointer<ScanProgressWindow> progress = dialog->progressWindow();
    // What the title bar's close button does.
    QVERIFY(progress->windowHandle());
    QVERIFY(progress->windowHandle()->close());
    checkQuietlyClosed(progress);
}

void TestScanCancel::importingAgainDuringTheCancelGivesAFreshDialog()
{
    QWidget mainWindow;
    ScanWindows windows(m_fixture->context(), &mainWindow, [this] { return QStringList{m_dir.path()}; });
    m_dialog = windows.showScanDialog(m_dir.path());
    m_dialog->RunAllFilesScan();
    m_dialog->progressWindow()->button()->click();
    QVERIFY(m_dialog->isClosingAfterScan());

    QPointer<ScanDialog> fresh = windows.showScanDialog(m_dir.path());
    QVERIFY(fresh != m_dialog);
    QTRY_VERIFY_WITH_TIMEOUT(m_dialog.isNull(), 20000);
    // The old dialog closing must not take the new one with it.
    QVERIFY(fresh);
    QVERIFY(fresh->isVisible());
    QCOMPARE(windows.scanDialog(), fresh.data());
}

QTEST_MAIN(TestScanCancel)
#include "tst_scan_cancel.moc"
