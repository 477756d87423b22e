#include "AdditionalExtensionsDialog.h"
#include "DetailsPanel.h"
#include "FileInfoWindows.h"
#include "ScanDialog.h"
#include "ScanProgressWindow.h"
#include "ScanWindows.h"
#include "WindowTestSupport.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

// The windows that belong to the main window, and reaching the list's commands from
// the keyboard and the menus.
class TestMainWindowAccess : public QObject, public WindowFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setUpFixture(); }
    void cleanup() { tearDownFixture(); }

    void ownedWindows_data();
    void ownedWindows();
    void listKeys_data();
    void listKeys();
    void enterInKeywordsBoxUpdatesKeywords();
    void fileSearchFocusesQuickSearch();
    void copyItemCopiesPaths();

private:
    QWidget *openWindow(MainWindow *window, const QString &name);
};

QWidget *TestMainWindowAccess::openWindow(MainWindow *window, const QString &name)
{
    if (name == "Missing Files")
        return window->findChild<QWidget *>(QStringLiteral("frmMissingRefrences"));
    if (name == "Import Files")
        return window->scanWindows().showImportFilesWizard();
    if (name == "Properties") {
        clickCategory(window, 1);
        clickRow(window, 0);
        window->actions().action(QStringLiteral("mnuFileProperties"))->trigger();
        return window->fileInfoWindows().properties();
    }
    if (name == "About")
        return window->fileInfoWindows().showAbout();
    ScanDialog *dialog = window->scanWindows().showScanDialog(m_dir->path());
    if (name == "Additional Extensions") {
        dialog->findChild<QPushButton *>(QStringLiteral("cmdAdditionalExtensions"))->click();
        return dialog->additionalExtensionsDialog();
    }
    if (name == "Searching") {
        dialog->findChild<QPushButton *>(QStringLiteral("cmdAllExtensions"))->click();
        if (!QTest::qWaitFor([dialog] { return !dialog->isScanning(); }, 20000))
            return nullptr;
        return dialog->progressWindow();
    }
    return dialog;
}

void TestMainWindowAccess::ownedWindows_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"Missing Files", "Import Files", "Search", "Searching", "Additional Extensions",
                             "Properties", "About"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

// Each is a window of its own that the window manager keeps above the main window,
// and opens over it without leaving the screen, even with the main window in a corner.
void TestMainWindowAccess::ownedWindows()
{
    QFETCH(QString, name);
    const QString catalog = name == "Missing Files"
        ? TestFiles::createFile(path(QStringLiteral("m.kvd")), "0\r\n\"/nowhere/a.jpg\",1,\"\"\r\n")
        : m_catalogPath;
    MainWindow *window = makeWindow(catalog);
    QVERIFY(window);
    const QRect screen = window->screen()->availableGeometry();
    window->move(screen.right() - window->width() / 3, screen.bottom() - window->height() / 3);

    QWidget *owned = openWindow(window, name);
    QVERIFY(owned);
    QTRY_VERIFY(owned->isVisible());
    // X11 names the owner (WM_TRANSIENT_FOR) of dialogs only.
    QCOMPARE(owned->windowType(), Qt::Dialog);
    QCOMPARE(owned->windowModality(), Qt::NonModal);
    QVERIFY(owned->windowHandle());
    QCOMPARE(owned->windowHandle()->transientParent(), window->windowHandle());
    if (name != "Missing Files") { // shown before the main window was moved
        QVERIFY2(screen.contains(owned->frameGeometry()), qPrintable(name));
        QVERIFY(owned->frameGeometry().intersects(window->frameGeometry()));
    }
    if (name == "Searching") { // the scan's messages show over the window that asks
        QCOMPARE(m_ui->messages.size(), 2);
        QCOMPARE(m_ui->messages.first().owner, window->scanWindows().scanDialog());
        QCOMPARE(m_ui->messages.last().owner, owned);
    }
}

void TestMainWindowAccess::listKeys_data()
{
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<bool>("menu"); // else the Properties dialog
    QTest::newRow("Menu key") << QKeyCombination(Qt::Key_Menu) << true;
    QTest::newRow("Shift+F10") << QKeyCombination(Qt::ShiftModifier, Qt::Key_F10) << true;
    QTest::newRow("Enter") << QKeyCombination(Qt::Key_Return) << false;
}

// The keyboard reaches what the mouse does on the current row.
void TestMainWindowAccess::listKeys()
{
    QFETCH(QKeyCombination, key);
    QFETCH(bool, menu);
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    clickCategory(window, 1);
    FileListView &list = window->fileList();
    selectRows(window, {"a", "b"}); // b current
    list.setFocus();

    QTest::keyClick(&list, key.key(), key.keyboardModifiers());
    QMenu *popup = window->actions().popupMenu();
    QCOMPARE(popup->isVisible(), menu);
    if (menu) {
        const QPoint at = list.viewport()->mapFromGlobal(popup->pos());
        QVERIFY(list.visualRect(list.currentIndex()).adjusted(0, 0, 0, 2).contains(at));
        popup->close();
        return;
    }
    PropertiesDialog *dialog = window->fileInfoWindows().properties();
    QVERIFY(dialog);
    QCOMPARE(dialog->path(), path("b.jpg"));
}

void TestMainWindowAccess::enterInKeywordsBoxUpdatesKeywords()
{
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    clickCategory(window, 1);
    clickRow(window, int(rowNames(window).indexOf("b")));
    QLineEdit *box = window->detailsPanel().keywordsBox();
    box->setFocus();
    box->setText(QStringLiteral("dunes"));
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(records(window).contains(QStringLiteral("b.jpg/1>dunes")));
}

void TestMainWindowAccess::fileSearchFocusesQuickSearch()
{
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto *search = window->findChild<QLineEdit *>(QStringLiteral("txtSearch"));
    search->setText(QStringLiteral("beach"));
    window->fileList().setFocus();
    QTest::keySequence(window, QKeySequence(QStringLiteral("Ctrl+F")));
    QTRY_VERIFY(search->hasFocus());
    QCOMPARE(search->selectedText(), QStringLiteral("beach"));
}

// As a drag of the rows carries them, and as text one path a line, in the list's order.
void TestMainWindowAccess::copyItemCopiesPaths()
{
    MainWindow *window = makeLoadedWindow();
    QVERIFY(window);
    clickCategory(window, 1);
    selectRows(window, {"notes", "b"});
    QGuiApplication::clipboard()->clear();
    window->actions().action(QStringLiteral("mnuCopyItem"))->trigger();
    const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
    QVERIFY(copied);
    QCOMPARE(copied->text(), path("b.jpg") + '\n' + path("notes.txt"));
    QCOMPARE(copied->urls(), (QList<QUrl>{QUrl::fromLocalFile(path("b.jpg")), QUrl::fromLocalFile(path("notes.txt"))}));
}

QTEST_MAIN(TestMainWindowAccess)
#include "tst_mainwindow_access.moc"
