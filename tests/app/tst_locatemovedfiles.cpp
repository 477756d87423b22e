#include "MissingFilesDialog.h"
#include "MissingFilesModel.h"
#include "MovedFilesLocator.h"
#include "WindowTestSupport.h"

#include <QPushButton>
#include <QSignalSpy>

// Locate... in the Missing Files window, as a user meets it: a folder of catalogued
// files was moved; one press finds them again.
class TestLocateMovedFiles : public QObject, public WindowFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setUpFixture(); }
    void cleanup() { tearDownFixture(); }

    void movedFolderComesBack();
};

void TestLocateMovedFiles::movedFolderComesBack()
{
    // Catalogued under old/, moved to new/Archive/; a.jpg exists twice there, and the
    // one below the same last folders is the one; gone.jpg is nowhere.
    for (const char *name : {"new/Archive/Trip/2019/a.jpg", "new/Archive/Trip/2020/a.jpg", "new/Archive/Trip/2019/b.jpg"})
        QVERIFY(!TestFiles::createFile(path(QString::fromLatin1(name)), "x").isEmpty());
    const QByteArray catalog = " 1 \r\n\"Trips\",\"Trips\",1\r\n\"" + path(QStringLiteral("old/Trip/2019/a.jpg")).toUtf8()
        + "\",1,\"sea\"\r\n\"" + path(QStringLiteral("kept.txt")).toUtf8() + "\",1,\"\"\r\n\""
        + path(QStringLiteral("old/Trip/2019/b.jpg")).toUtf8() + "\",1,\"\"\r\n\""
        + path(QStringLiteral("old/gone.jpg")).toUtf8() + "\",1,\"\"\r\n";
    TestFiles::createFile(path(QStringLiteral("kept.txt")), "x");
    MainWindow *window = makeWindow(TestFiles::createFile(path(QStringLiteral("moved.kvd")), catalog));
    QVERIFY(window);
    auto *dialog = window->findChild<MissingFilesDialog *>();
    QVERIFY(dialog);
    QCOMPARE(dialog->model().rowCount(), 3);

    m_ui->folderAnswers = {path(QStringLiteral("new"))};
    QSignalSpy done(&dialog->locator(), &MovedFilesLocator::finished);
    dialog->findChild<QPushButton *>(QStringLiteral("cmdLocate"))->click();
    QVERIFY(done.wait(10000));

    // The dialog starts at the nearest folder above the missing files that exists.
    QCOMPARE(m_ui->folderDialogs.value(0).initialFolder, m_dir->path());
    QCOMPARE(m_ui->shownMessages(),
             QStringList{QStringLiteral("Corvanta|Information|Ok|2 of 3 missing files were found again under %1.")
                             .arg(path(QStringLiteral("new")))});
    QCOMPARE(records(window), (QStringList{"new/Archive/Trip/2019/a.jpg/1>sea", "kept.txt/1>",
                                           "new/Archive/Trip/2019/b.jpg/1>"}));
    QVERIFY(!window->catalog().FileListSaved());
    QCOMPARE(dialog->model().rowCount(), 1);
    QCOMPARE(dialog->model().index(0).data().toString(), path(QStringLiteral("old/gone.jpg")));
}

QTEST_MAIN(TestLocateMovedFiles)
#include "tst_locatemovedfiles.moc"
