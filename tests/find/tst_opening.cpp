#include "DetailsPanel.h"
#include "FakePrograms.h"
#include "FileInfoWindows.h"
#include "OpenWithShell.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

// Opening a file with its program from the three places that offer it, and the
// Properties dialog.
class TestOpening : public QObject, public WindowFixture
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void init()
    {
        setUpFixture();
        m_path = qgetenv("PATH");
    }
    void cleanup()
    {
        qputenv("PATH", m_path);
        tearDownFixture();
    }

    void entryPoints_data();
    void entryPoints();
    void desktopOpener_data();
    void desktopOpener();
    void propertiesLabels();
    void propertiesRefused_data();
    void propertiesRefused();
    void propertiesIsOneWindowThatKeepsItsFile();

private:
    // The Photos category listed, and the row of name chosen by a click when not empty.
    MainWindow *listPhotos(const QString &name);
    static QPushButton *button(QWidget *window, const char *name)
    {
        return window->findChild<QPushButton *>(QString::fromLatin1(name));
    }
    QStringList messages() const { return m_ui->shownMessages().replaceInStrings(m_dir->path(), "%1"); }
    QStringList opened() const { return QStringList(m_ui->openedPrograms).replaceInStrings(m_dir->path(), "%1"); }

    QByteArray m_path;
};

MainWindow *TestOpening::listPhotos(const QString &name)
{
    MainWindow *window = makeLoadedWindow();
    if (!window)
        return nullptr;
    clickCategory(window, 1);
    if (!name.isEmpty())
        clickRow(window, int(rowNames(window).indexOf(name)));
    return window;
}

enum class EntryPoint { DetailsExecute, ShellExecute, PropertiesExecute };

void TestOpening::entryPoints_data()
{
    QTest::addColumn<EntryPoint>("entryPoint");
    QTest::addColumn<QString>("row"); // clicked first, "" for none
    QTest::addColumn<bool>("deleteFile");
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<QStringList>("messages");
    const QStringList b{"%1/b.jpg"};
    const QStringList gone{"Corvanta|Critical|Ok|Error opening %1/b.jpg.",
                           "Corvanta|None|Ok|53 - File not found. The file no longer exists. It may have been moved, "
                           "renamed or deleted, or the disk that holds it may not be connected."};
    QTest::newRow("Execute opens the file shown") << EntryPoint::DetailsExecute << "b" << false << b << QStringList();
    QTest::newRow("Execute with no file shown") << EntryPoint::DetailsExecute << "" << false << QStringList()
                                                << QStringList();
    QTest::newRow("Execute on a file gone since") << EntryPoint::DetailsExecute << "b" << true << QStringList() << gone;
    QTest::newRow("Shell Execute opens the row") << EntryPoint::ShellExecute << "b" << false << b << QStringList();
    QTest::newRow("Shell Execute with no row") << EntryPoint::ShellExecute << "" << false << QStringList()
                                               << QStringList();
    QTest::newRow("Shell Execute on a file gone since") << EntryPoint::ShellExecute << "b" << true << QStringList()
                                                        << gone;
    QTest::newRow("the dialog's Execute") << EntryPoint::PropertiesExecute << "b" << false << b << QStringList();
}

void TestOpening::entryPoints()
{
    QFETCH(EntryPoint, entryPoint);
    QFETCH(QString, row);
    QFETCH(bool, deleteFile);
    MainWindow *window = listPhotos(row);
    QVERIFY(window);
    QPointer<PropertiesDialog> dialog;
    if (entryPoint == EntryPoint::PropertiesExecute) {
        window->actions().action("mnuFileProperties")->trigger();
        dialog = window->fileInfoWindows().properties();
        QVERIFY(dialog);
    }
    if (deleteFile)
        QVERIFY(QFile::remove(path("b.jpg")));

    switch (entryPoint) {
    case EntryPoint::DetailsExecute:
        QTest::mouseClick(button(&window->detailsPanel(), "cmdExecute"), Qt::LeftButton);
        break;
    case EntryPoint::ShellExecute:
        window->actions().action("mnuShellExecute")->trigger();
        break;
    case EntryPoint::PropertiesExecute:
        QTest::mouseClick(button(dialog, "cmdExecute"), Qt::LeftButton);
        QTRY_VERIFY(!dialog); // closed whatever the desktop did
        break;
    }
    QTEST(opened(), "opened");
    QTEST(messages(), "messages");
    QVERIFY(window->isVisible());
}

// The real opener, xdg-open, as the PATH has it.
void TestOpening::desktopOpener_data()
{
    QTest::addColumn<QByteArray>("opener"); // its script, "" for none on the PATH
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QByteArray>("arguments");
    QTest::newRow("takes the path and is not waited for")
        << FakePrograms::kRecordsArguments << QStringList() << QByteArray("%1/b.jpg\n");
    QTest::newRow("not installed")
        << QByteArray() << QStringList{"Corvanta|Critical|Ok|Error opening %1/b.jpg.",
                                       "Corvanta|None|Ok|53 - No program to open files with was found. Install the "
                                       "xdg-utils package, which provides xdg-open, and check that xdg-open is on "
                                       "the PATH."}
        << QByteArray();
    QTest::newRow("does not start")
        << FakePrograms::kBroken
        << QStringList{"Corvanta|Critical|Ok|Error opening %1/b.jpg.",
                       "Corvanta|None|Ok|75 - xdg-open could not be started. Check that the xdg-utils package is "
                       "installed completely and that \"xdg-open\" works in a terminal."}
        << QByteArray();
}

void TestOpening::desktopOpener()
{
    QFETCH(QByteArray, opener);
    const QString bin = path("bin");
    QVERIFY(QDir().mkpath(bin));
    if (!opener.isEmpty())
        FakePrograms::install(bin, "xdg-open", opener);
    qputenv("PATH", bin.toLocal8Bit());
    m_ui->opener = [](const QString &file) { return OpenWithShell::startOpener(file); };
    MainWindow *window = listPhotos("b");
    QVERIFY(window);

    QTest::mouseClick(button(&window->detailsPanel(), "cmdExecute"), Qt::LeftButton);
    QTEST(messages(), "messages");
    QFETCH(QByteArray, arguments);
    if (!arguments.isEmpty())
        QTRY_COMPARE(TestFiles::readFile(bin + "/xdg-open.args").replace(m_dir->path().toLocal8Bit(), "%1"),
                     arguments);
}

// The labels top to bottom, each with its prefix, for a file with known times.
void TestOpening::propertiesLabels()
{
    MainWindow *window = listPhotos(QString());
    QVERIFY(window);
    selectRows(window, {"notes"}); // selected without the details panel reading the file
    QFile file(path("notes.txt"));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime(QDate(2004, 1, 10), QTime(14, 30)), QFileDevice::FileModificationTime));
    QVERIFY(file.setFileTime(QDateTime(QDate(2005, 2, 3), QTime(9, 5)), QFileDevice::FileAccessTime));
    file.close();

    window->actions().action("mnuFileProperties")->trigger();
    PropertiesDialog *dialog = window->fileInfoWindows().properties();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->objectName(), QStringLiteral("frmProperties"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Properties"));
    QVERIFY(!dialog->isModal());
    QVERIFY(!dialog->parentWidget());
    QStringList labels;
    for (const QLabel *label : dialog->findChildren<QLabel *>())
        labels << label->objectName() + '|' + label->text().replace(m_dir->path(), "%1");
    const QString created = labels.takeAt(1);
    QCOMPARE(labels, (QStringList{"lblName|Name: notes.txt", "lblDateModified|Date Last Modified: 1/10/04 2:30 PM",
                                  "lblDateAccessed|Date Last Accessed: 2/3/05 9:05 AM",
                                  "lblPath|Path: %1/notes.txt", "lblType|Type: plain text document"}));
    // The birth time where the file system keeps one: never the times set above.
    QVERIFY2(QRegularExpression("^lblDate\\|Date Created: (Not recorded|\\d+/\\d+/\\d\\d( \\d+:\\d\\d [AP]M)?)$")
                 .match(created)
                 .hasMatch(),
             qPrintable(created));
    QVERIFY(!created.contains("1/10/04") && !created.contains("2/3/05"));
    QCOMPARE(dialog->path().replace(m_dir->path(), "%1"), QStringLiteral("%1/notes.txt"));
    QCOMPARE(messages(), QStringList());
}

enum class Request { Menu, DoubleClick };

void TestOpening::propertiesRefused_data()
{
    QTest::addColumn<bool>("listPhotos");
    QTest::addColumn<QString>("row"); // selected first, "" for none
    QTest::addColumn<bool>("deleteFile");
    QTest::addColumn<Request>("request");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("menu on an empty list") << false << "" << false << Request::Menu
                                           << QStringList{"Marlowind|Exclamation|Ok|Please select a file."};
    QTest::newRow("double click on an empty list") << false << "" << false << Request::DoubleClick << QStringList();
    QTest::newRow("menu with rows, none selected") << true << "" << false << Request::Menu << QStringList();
    QTest::newRow("file gone since it was listed")
        << true << "b" << true << Request::Menu
        << QStringList{"Error.|None|Ok|Error - File not found. Error number - 53."};
}

void TestOpening::propertiesRefused()
{
    QFETCH(bool, listPhotos);
    QFETCH(QString, row);
    QFETCH(bool, deleteFile);
    QFETCH(Request, request);
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    if (listPhotos)
        clickCategory(window, 1);
    window->fileList().selectionModel()->clear();
    if (!row.isEmpty())
        selectRows(window, {row});
    if (deleteFile)
        QVERIFY(QFile::remove(path("b.jpg")));

    if (request == Request::Menu)
        window->actions().action("mnuFileProperties")->trigger();
    else
        QTest::mouseDClick(window->fileList().viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QTEST(messages(), "messages");
    QVERIFY(!window->fileInfoWindows().properties());
}

// Shown again while open, the dialog only comes forward, still describing its file;
// OK closes it.
void TestOpening::propertiesIsOneWindowThatKeepsItsFile()
{
    MainWindow *window = listPhotos(QString());
    QVERIFY(window);
    QTest::mouseDClick(window->fileList().viewport(), Qt::LeftButton, {}, rowCentre(window, 0));
    QPointer<PropertiesDialog> dialog = window->fileInfoWindows().properties();
    QVERIFY(dialog);
    QCOMPARE(dialog->findChild<QLabel *>("lblName")->text(), QStringLiteral("Name: a.png"));

    QTest::mouseDClick(window->fileList().viewport(), Qt::LeftButton, {}, rowCentre(window, 1));
    window->actions().action("mnuFileProperties")->trigger();
    QCOMPARE(window->fileInfoWindows().properties(), dialog.data());
    QCOMPARE(dialog->findChild<QLabel *>("lblName")->text(), QStringLiteral("Name: a.png"));
    QVERIFY(dialog->isVisible());

    // Enter presses OK, never Execute.
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_VERIFY(!dialog);
    QCOMPARE(opened(), QStringList());
    QCOMPARE(messages(), QStringList());
}

QTEST_MAIN(TestOpening)
#include "tst_opening.moc"
