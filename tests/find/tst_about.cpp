#include "FakePrograms.h"
#include "FileInfoWindows.h"
#include "Quotations.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>

// The About box, its System Info button and the quotations window behind it.
class TestAbout : public QObject, public WindowFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setUpFixture(); }
    void cleanup() { tearDownFixture(); }

    void aboutBox();
    void aboutBoxCloses_data();
    void aboutBoxCloses();
    void eggGestures_data();
    void eggGestures();
    void systemInfo_data();
    void systemInfo();
    void quotationsRunOnceThroughTheTable();

private:
    // The About box of a new main window, with the system-information programs of
    // the folder bin.
    AboutBox *showAbout(const QString &bin = QString());
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

    MainWindow *m_window = nullptr;
};

AboutBox *TestAbout::showAbout(const QString &bin)
{
    m_window = makeWindow(QString());
    if (!m_window)
        return nullptr;
    m_window->fileInfoWindows().setSystemInfoSource({SystemInfo::defaultCandidates(), bin});
    m_window->actions().action("mnuHelpAbout")->trigger();
    return m_window->fileInfoWindows().about();
}

void TestAbout::aboutBox()
{
    AboutBox *about = showAbout();
    QVERIFY(about);
    QVERIFY(about->isVisible());
    QCOMPARE(about->objectName(), QStringLiteral("frmAbout"));
    QCOMPARE(about->windowTitle(), QStringLiteral("About Corvanta"));
    QVERIFY(!about->isModal());
    QVERIFY(!about->parentWidget());
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

void TestAbout::aboutBoxCloses_data()
{
    QTest::addColumn<int>("key"); // 0: a click on OK
    QTest::newRow("OK") << 0;
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
}

void TestAbout::aboutBoxCloses()
{
    QFETCH(int, key);
    QPointer<AboutBox> about = showAbout();
    QVERIFY(about);
    QVERIFY(QTest::qWaitForWindowActive(about));
    if (key == 0)
        QTest::mouseClick(about->findChild<QPushButton *>("cmdOK"), Qt::LeftButton);
    else
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QTRY_VERIFY(!about);
    QVERIFY(m_ui->messages.isEmpty());
}

void TestAbout::eggGestures_data()
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

void TestAbout::eggGestures()
{
    QFETCH(QStringList, steps);
    AboutBox *about = showAbout();
    QVERIFY(about);
    QVERIFY(QTest::qWaitForWindowActive(about));
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

void TestAbout::systemInfo_data()
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

void TestAbout::systemInfo()
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
    QFETCH(QString, started);
    QFETCH(QByteArray, arguments);
    if (!started.isEmpty())
        QTRY_COMPARE(TestFiles::readFile(bin + '/' + started + ".args"), arguments);
    QVERIFY(about && about->isVisible());
}

// Entry 0 at once, one entry a tick, "Thank you!" on entry 20 and then no further;
// the count lives on when the window closes.
void TestAbout::quotationsRunOnceThroughTheTable()
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

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
