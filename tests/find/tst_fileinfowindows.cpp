#include "DetailsPanel.h"
#include "FileInfoWindows.h"
#include "OpenWithShell.h"
#include "Quotations.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

// Stand-ins for the desktop's programs: a script that writes the arguments it was
// started with, one a line, to "<its path>.args" and ends.
namespace FakePrograms {

inline const QByteArray kRecordsArguments = "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\n";

inline QString install(const QString &folder, const QString &name, const QByteArray &script = kRecordsArguments)
{
    const QString path = TestFiles::createFile(folder + QLatin1Char('/') + name, script);
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
    return path;
}

// A program that is there but cannot start: its interpreter does not exist.
inline const QByteArray kBroken = "#!/nonexistent/interpreter\n";

} // namespace FakePrograms

// The windows that describe and open files: opening a file with its program from the
// three places that offer it, the Properties dialog, the About box, its System Info
// button and the quotations window behind it.
class TestFileInfoWindows : public QObject, public WindowFixture
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
    void aboutBox();
    void aboutBoxCloses_data();
    void aboutBoxCloses();
    void eggGestures_data();
    void eggGestures();
    void systemInfo_data();
    void systemInfo();
    void quotationsRunOnceThroughTheTable();

private:
    // The Photos category listed, and the row of name chosen by a click when not empty.
    MainWindow *listPhotos(const QString &name);
    // The About box of a new main window, with the system-information programs of
    // the folder bin.
    AboutBox *showAbout(const QString &bin = QString());
    static QPushButton *button(QWidget *window, const char *name)
    {
        return window->findChild<QPushButton *>(QString::fromLatin1(name));
    }
    static QString text(QWidget *window, const char *name)
    {
        QWidget *child = window->findChild<QWidget *>(QString::fromLatin1(name));
        if (auto *label = qobject_cast<QLabel *>(child))
            return label->text();
        return child ? qobject_cast<QPushButton *>(child)->text() : QStringLiteral("(missing)");
    }
    static QStringList quotation(QuotationsWindow *window)
    {
        return {text(window, "lblQuoteTitle"), text(window, "lblQuotes"), text(window, "lblAuthor")};
    }
    QStringList messages() const { return m_ui->shownMessages().replaceInStrings(m_dir->path(), "%1"); }
    QStringList opened() const { return QStringList(m_ui->openedPrograms).replaceInStrings(m_dir->path(), "%1"); }

    QByteArray m_path;
    MainWindow *m_window = nullptr;
};

MainWindow *TestFileInfoWindows::listPhotos(const QString &name)
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

void TestFileInfoWindows::entryPoints_data()
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
    // Every entry point hands the path to the same opening, which checks it is there.
    QTest::newRow("Execute on a file gone since") << EntryPoint::DetailsExecute << "b" << true << QStringList() << gone;
    QTest::newRow("Shell Execute opens the row") << EntryPoint::ShellExecute << "b" << false << b << QStringList();
    QTest::newRow("Shell Execute with no row") << EntryPoint::ShellExecute << "" << false << QStringList()
                                               << QStringList();
    QTest::newRow("the dialog's Execute") << EntryPoint::PropertiesExecute << "b" << false << b << QStringList();
}

void TestFileInfoWindows::entryPoints()
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
void TestFileInfoWindows::desktopOpener_data()
{
    QTest::addColumn<QByteArray>("opener"); // its script, "" for none on the PATH
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QByteArray>("arguments");
    const QString noProgram = "Corvanta|Exclamation|Ok|No program is set to open files of the type \"JPEG image\", "
                              "such as b.jpg.\n\nTo choose one, open such a file in your file manager with \"Open "
                              "With\" and make the program you pick the default for this type. In a terminal, "
                              "\"xdg-mime default PROGRAM.desktop image/jpeg\" does the same.";
    QTest::newRow("takes the file's URL and is not waited for")
        << FakePrograms::kRecordsArguments << QStringList() << QByteArray("file://%1/b.jpg\n");
    QTest::newRow("no program for the type")
        << FakePrograms::kRecordsArguments + "exit 3\n" << QStringList{noProgram} << QByteArray("file://%1/b.jpg\n");
    QTest::newRow("the program failed")
        << FakePrograms::kRecordsArguments + "exit 4\n" << QStringList{noProgram} << QByteArray("file://%1/b.jpg\n");
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

void TestFileInfoWindows::desktopOpener()
{
    QFETCH(QByteArray, opener);
    const QString bin = path("bin");
    QVERIFY(QDir().mkpath(bin));
    if (!opener.isEmpty())
        FakePrograms::install(bin, "xdg-open", opener);
    qputenv("PATH", bin.toLocal8Bit());
    m_ui->opener = [this](const QString &file, std::function<void(int)> answered) {
        return OpenWithShell::startOpener(file, QString(), m_ui->openRequests.get(), std::move(answered));
    };
    MainWindow *window = listPhotos("b");
    QVERIFY(window);

    QTest::mouseClick(button(&window->detailsPanel(), "cmdExecute"), Qt::LeftButton);
    QFETCH(QByteArray, arguments);
    if (!arguments.isEmpty()) {
        QTRY_COMPARE(TestFiles::readFile(bin + "/xdg-open.args").replace(m_dir->path().toLocal8Bit(), "%1"),
                     arguments);
        QTest::qWait(100); // the opener's end, heard later, says nothing more unless it must
    }
    QFETCH(QStringList, messages);
    QTRY_COMPARE(this->messages(), messages);
}

// The labels top to bottom, each with its prefix, for a file with known times.
void TestFileInfoWindows::propertiesLabels()
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

void TestFileInfoWindows::propertiesRefused_data()
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

void TestFileInfoWindows::propertiesRefused()
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
void TestFileInfoWindows::propertiesIsOneWindowThatKeepsItsFile()
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
    QTRY_VERIFY(dialog->isActiveWindow()); // not just its owner
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_VERIFY(!dialog);
    QCOMPARE(opened(), QStringList());
    QCOMPARE(messages(), QStringList());
}

AboutBox *TestFileInfoWindows::showAbout(const QString &bin)
{
    m_window = makeWindow(QString());
    if (!m_window)
        return nullptr;
    m_window->fileInfoWindows().setSystemInfoSource({SystemInfo::defaultCandidates(), bin});
    m_window->actions().action("mnuHelpAbout")->trigger();
    return m_window->fileInfoWindows().about();
}

void TestFileInfoWindows::aboutBox()
{
    AboutBox *about = showAbout();
    QVERIFY(about);
    QVERIFY(about->isVisible());
    QCOMPARE(about->objectName(), QStringLiteral("frmAbout"));
    QCOMPARE(about->windowTitle(), QStringLiteral("About Corvanta"));
    QVERIFY(!about->isModal());
    const auto *picture = about->findChild<QLabel *>("picIcon");
    QCOMPARE(picture->size(), QSize(70, 69));
    QCOMPARE(picture->pixmap().size(), QSize(70, 69));
    QCOMPARE(text(about, "lblTitle"), QStringLiteral("Corvanta"));
    QCOMPARE(text(about, "lblVersion"), QStringLiteral("Version 1.1.5"));
    QCOMPARE(text(about, "lblDescription"), QStringLiteral("App Description"));
    QCOMPARE(text(about, "lblDisclaimer"),
             QStringLiteral("Corvanta was written by the Corvanta team, for everyone who keeps more pictures, songs "
                            "and films than they can remember. Our appreciation goes out to all those that have "
                            "helped us create the program. Thank you! We are not responsible for any damage done "
                            "while using this program."));
    const auto *disclaimer = about->findChild<QLabel *>("lblDisclaimer");
    QVERIFY(disclaimer->height() >= disclaimer->heightForWidth(disclaimer->width())); // no line cut off
    QCOMPARE(text(about, "cmdOK"), QStringLiteral("OK"));
    QVERIFY(about->findChild<QPushButton *>("cmdOK")->isDefault());
    QCOMPARE(text(about, "cmdSysInfo"), QStringLiteral("&System Info..."));
    QCOMPARE(about->findChildren<QFrame *>().size() - about->findChildren<QLabel *>().size(), 2); // etched lines
    // Asked for again, the same box comes forward.
    m_window->actions().action("mnuHelpAbout")->trigger();
    QCOMPARE(m_window->fileInfoWindows().about(), about);
}

void TestFileInfoWindows::aboutBoxCloses_data()
{
    QTest::addColumn<int>("key"); // 0: a click on OK
    QTest::newRow("OK") << 0;
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
}

void TestFileInfoWindows::aboutBoxCloses()
{
    QFETCH(int, key);
    QPointer<AboutBox> about = showAbout();
    QVERIFY(about);
    QTRY_VERIFY(about->isActiveWindow()); // not just its owner
    if (key == 0)
        QTest::mouseClick(about->findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    else
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QTRY_VERIFY(!about);
    QVERIFY(m_ui->messages.isEmpty());
}

void TestFileInfoWindows::eggGestures_data()
{
    // Steps: "title" a click on the title, "shift+" and "shift-" Shift going down and
    // up while OK has the focus, "picture" a double click on the picture, "close"
    // closing the quotations window.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("armed");
    QTest::newRow("not armed: nothing") << QStringList{"picture"} << false << false;
    QTest::newRow("a click on the title arms") << QStringList{"title", "picture"} << true << false;
    QTest::newRow("one opening per arming") << QStringList{"title", "picture", "close", "picture"} << false << false;
    QTest::newRow("Shift held on OK arms") << QStringList{"shift+", "picture"} << true << false;
    QTest::newRow("Shift released disarms") << QStringList{"title", "shift+", "shift-", "picture"} << false << false;
    QTest::newRow("armed until the picture") << QStringList{"title"} << false << true;
}

void TestFileInfoWindows::eggGestures()
{
    QFETCH(QStringList, steps);
    AboutBox *about = showAbout();
    QVERIFY(about);
    QTRY_VERIFY(about->isActiveWindow()); // not just its owner
    QCOMPARE(QApplication::focusWidget(), about->findChild<QPushButton *>("cmdOK"));
    for (const QString &step : steps) {
        if (step == "title")
            QTest::mouseClick(about->findChild<QLabel *>("lblTitle"), Qt::LeftButton);
        else if (step == "shift+")
            QTest::keyPress(QApplication::focusWidget(), Qt::Key_Shift);
        else if (step == "shift-")
            QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Shift);
        else if (step == "picture")
            QTest::mouseDClick(about->findChild<QLabel *>("picIcon"), Qt::LeftButton);
        else if (step == "close")
            m_window->fileInfoWindows().quotations()->close();
        QCoreApplication::processEvents(); // a closed window goes
    }
    QuotationsWindow *quotations = m_window->fileInfoWindows().quotations();
    QTEST(quotations && quotations->isVisible(), "shown");
    QTEST(about->eggArmed(), "armed");
}

void TestFileInfoWindows::systemInfo_data()
{
    QTest::addColumn<QStringList>("installed"); // "name" or "name!" for one that cannot start
    QTest::addColumn<QString>("started");
    QTest::addColumn<QByteArray>("arguments");
    QTest::addColumn<QStringList>("messages");
    const QStringList unavailable{"Marlowind|None|Ok|System Information Is Unavailable At This Time"};
    QTest::newRow("none installed") << QStringList() << "" << QByteArray() << unavailable;
    QTest::newRow("hardinfo first") << QStringList{"gnome-control-center", "kinfocenter", "hardinfo"} << "hardinfo"
                                    << QByteArray("\n") << QStringList();
    QTest::newRow("then KDE's") << QStringList{"gnome-control-center", "kinfocenter"} << "kinfocenter"
                                << QByteArray("\n") << QStringList();
    QTest::newRow("GNOME's About panel") << QStringList{"gnome-control-center"} << "gnome-control-center"
                                         << QByteArray("info-overview\n") << QStringList();
    QTest::newRow("installed but not starting") << QStringList{"hardinfo!"} << "" << QByteArray() << unavailable;
}

void TestFileInfoWindows::systemInfo()
{
    QFETCH(QStringList, installed);
    const QString bin = path("bin");
    QVERIFY(QDir().mkpath(bin));
    for (const QString &name : installed) {
        if (name.endsWith('!'))
            FakePrograms::install(bin, name.chopped(1), FakePrograms::kBroken);
        else
            FakePrograms::install(bin, name);
    }
    QPointer<AboutBox> about = showAbout(bin);
    QVERIFY(about);
    QTest::mouseClick(about->findChild<QPushButton *>("cmdSysInfo"), Qt::LeftButton);
    QTEST(m_ui->shownMessages(), "messages");
    if (!m_ui->messages.isEmpty()) // over the About box, never behind the main window
        QCOMPARE(m_ui->messages.first().owner, about.data());
    QFETCH(QString, started);
    QFETCH(QByteArray, arguments);
    if (!started.isEmpty())
        QTRY_COMPARE(TestFiles::readFile(bin + '/' + started + ".args"), arguments);
    QVERIFY(about && about->isVisible());
}

// Entry 0 at once, one entry a tick, "Thank you!" on entry 20 and then no further;
// the count lives on when the window closes.
void TestFileInfoWindows::quotationsRunOnceThroughTheTable()
{
    QCOMPARE(QString::fromUtf8(QuotationAt(20).author), QStringLiteral("The Corvanta team"));
    m_window = makeWindow(QString());
    QVERIFY(m_window);
    FileInfoWindows &windows = m_window->fileInfoWindows();
    QPointer<QuotationsWindow> quotations = windows.showQuotations();
    QCOMPARE(quotations->objectName(), QStringLiteral("frmEgg"));
    QCOMPARE(quotations->windowTitle(), QStringLiteral("You found the Easter Egg!"));
    QVERIFY(!quotations->isModal());
    const QFont heading = quotations->findChild<QLabel *>("lblQuoteTitle")->font();
    QCOMPARE(heading.pointSize(), 28);
    QCOMPARE(heading.styleHint(), QFont::Serif);
    QCOMPARE(text(quotations, "Command1"), QStringLiteral("Go back."));
    QCOMPARE(quotations->timer().interval(), 8000);
    QVERIFY(quotations->timer().isActive());
    QCOMPARE(quotation(quotations), (QStringList{"Quotes", "Well begun is half done.", "-Aristotle"}));

    for (int tick = 0; tick < 3; ++tick)
        quotations->tick();
    QCOMPARE(quotation(quotations), (QStringList{"Quotes", "Knowledge is power.", "-Francis Bacon"}));
    QTest::mouseClick(quotations->findChild<QPushButton *>("Command1"), Qt::LeftButton);
    QTRY_VERIFY(!quotations);

    // Opened again: entry 0, and the ticks go on after the last one shown.
    quotations = windows.showQuotations();
    QCOMPARE(quotation(quotations), (QStringList{"Quotes", "Well begun is half done.", "-Aristotle"}));
    quotations->tick();
    QCOMPARE(windows.quoteStep(), 4);
    QCOMPARE(quotation(quotations)[2], QStringLiteral("-The Corvanta team"));

    // The timer itself drives the ticks, and they stop at 20.
    quotations->timer().setInterval(0);
    QTRY_COMPARE(quotation(quotations)[0], QStringLiteral("Thank you!"));
    QTest::qWait(20);
    QCOMPARE(windows.quoteStep(), 20);
    QCOMPARE(quotation(quotations),
             (QStringList{"Thank you!",
                          "Thank you for using Corvanta. We hope it helps you find every picture, song and film you "
                          "keep.",
                          "-The Corvanta team"}));
    quotations->close();
    QTRY_VERIFY(!quotations);

    // Once through the table, a new window stays on entry 0.
    quotations = windows.showQuotations();
    quotations->tick();
    QCOMPARE(windows.quoteStep(), 20);
    QCOMPARE(quotation(quotations), (QStringList{"Quotes", "Well begun is half done.", "-Aristotle"}));
}

QTEST_MAIN(TestFileInfoWindows)
#include "tst_fileinfowindows.moc"
