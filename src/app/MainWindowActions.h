#pragma once

#include <QHash>
#include <QString>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

// Builds the main window's menu bar, toolbar and the file list's context menu.
// Every entry carries its name as objectName, so the window (and tests) find it by name.
class MainWindowActions
{
public:
    explicit MainWindowActions(QMainWindow &window);

    QAction *action(const QString &name) const; // menu entries, e.g. "mnuFileNew"
    QAction *toolButton(const QString &key) const; // toolbar buttons by key, e.g. "NewDrive"
    QToolBar *toolBar() const { return m_toolBar; }
    QMenu *popupMenu() const { return m_popup; }

    // Toolbar button key and the menu entry it repeats.
    static const QList<QPair<QString, QString>> &toolbarCommands();

private:
    QAction *addEntry(QMenu *menu, const QString &name, const QString &caption, const QString &shortcut = QString());
    void buildMenus(QMainWindow &window);
    void buildToolBar(QMainWindow &window);
    void buildPopup(QMainWindow &window);

    QHash<QString, QAction *> m_actions;
    QHash<QString, QAction *> m_toolButtons;
    QToolBar *m_toolBar = nullptr;
    QMenu *m_popup = nullptr;
};
