#include "MainWindowActions.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

namespace {

struct ToolButton {
    const char *key;
    const char *toolTip;
    const char *imageKey;
    const char *themeIcon;
    QStyle::StandardPixmap fallback;
    const char *menuEntry;
};

const ToolButton kToolButtons[] = {
    {"New", "New", "New", "document-new", QStyle::SP_FileIcon, "mnuFileNew"},
    {"Open", "Open", "Open", "document-open", QStyle::SP_DialogOpenButton, "mnuFileOpen"},
    {"Save", "Save", "Save", "document-save", QStyle::SP_DialogSaveButton, "mnuSave"},
    {"NewDrive", "Add Category", "AddDrive", "folder-new", QStyle::SP_DriveHDIcon, "mnuAddDrive"},
    {"NewCategory", "Add Sub-Category", "AddFolder", "folder-new", QStyle::SP_FileDialogNewFolder, "mnuFileAddCategory"},
    {"ChangeCategory", "Change Name", "ChangeFolderName", "edit-rename", QStyle::SP_FileDialogDetailedView,
     "mnuChangeCategoryName"},
    {"DeleteCategory", "Delete Category", "DeleteFolder", "edit-delete", QStyle::SP_TrashIcon, "mnuFileDelete"},
    {"ImportFiles", "Import Files", "ImportFiles", "document-import", QStyle::SP_ArrowDown, "mnuImportFiles"},
};

} // namespace

MainWindowActions::MainWindowActions(QMainWindow &window)
{
    buildMenus(window);
    buildToolBar(window);
    buildPopup(window);
}

QAction *MainWindowActions::action(const QString &name) const
{
    return m_actions.value(name);
}

QAction *MainWindowActions::toolButton(const QString &key) const
{
    return m_toolButtons.value(key);
}

const QList<QPair<QString, QString>> &MainWindowActions::toolbarCommands()
{
    static const QList<QPair<QString, QString>> commands = [] {
        QList<QPair<QString, QString>> list;
        for (const ToolButton &b : kToolButtons)
            list.append({QString::fromLatin1(b.key), QString::fromLatin1(b.menuEntry)});
        return list;
    }();
    return commands;
}

QAction *MainWindowActions::addEntry(QMenu *menu, const QString &name, const QString &caption, const QString &shortcut)
{
    QAction *entry = menu->addAction(caption);
    entry->setObjectName(name);
    if (!shortcut.isEmpty())
        entry->setShortcut(QKeySequence(shortcut));
    m_actions.insert(name, entry);
    return entry;
}

void MainWindowActions::buildMenus(QMainWindow &window)
{
    QMenuBar *bar = window.menuBar();

    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    addEntry(file, QStringLiteral("mnuFileNew"), QStringLiteral("&New"), QStringLiteral("Ctrl+N"));
    addEntry(file, QStringLiteral("mnuSave"), QStringLiteral("&Save"), QStringLiteral("Ctrl+S"));
    addEntry(file, QStringLiteral("mnuFileOpen"), QStringLiteral("&Open..."), QStringLiteral("Ctrl+O"));
    file->addSeparator();
    addEntry(file, QStringLiteral("mnuFileSearch"), QStringLiteral("&Search"), QStringLiteral("Ctrl+F"));
    addEntry(file, QStringLiteral("mnuImportFiles"), QStringLiteral("&Import Files"), QStringLiteral("Ctrl+I"));
    file->addSeparator();
    addEntry(file, QStringLiteral("mnuAddDrive"), QStringLiteral("Add &Category"));
    addEntry(file, QStringLiteral("mnuFileAddCategory"), QStringLiteral("&Add Sub-Category"));
    addEntry(file, QStringLiteral("mnuChangeCategoryName"), QStringLiteral("Change Ca&tegory Name"));
    addEntry(file, QStringLiteral("mnuFileDelete"), QStringLiteral("&Delete"));
    file->addSeparator();
    addEntry(file, QStringLiteral("mnuFileProperties"), QStringLiteral("Propert&ies"));
    file->addSeparator();
    addEntry(file, QStringLiteral("mnuFileClose"), QStringLiteral("&Close"));

    QMenu *edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    addEntry(edit, QStringLiteral("mnuEditCut"), QStringLiteral("Cu&t"), QStringLiteral("Ctrl+X"));
    addEntry(edit, QStringLiteral("mnuEditCopy"), QStringLiteral("&Copy"), QStringLiteral("Ctrl+C"));
    addEntry(edit, QStringLiteral("mnuEditPaste"), QStringLiteral("&Paste"), QStringLiteral("Ctrl+V"));
    edit->addSeparator();
    addEntry(edit, QStringLiteral("mnuEditSelectAll"), QStringLiteral("Select &All"), QStringLiteral("Ctrl+A"));

    QMenu *view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    for (const auto &[name, caption] : {std::pair{"mnuViewToolbar", "&Toolbar"}, {"mnuViewStatusBar", "Status &Bar"}}) {
        QAction *toggle = addEntry(view, QString::fromLatin1(name), QString::fromLatin1(caption));
        toggle->setCheckable(true);
        toggle->setChecked(true);
    }
    addEntry(view, QStringLiteral("mnuViewThumbnails"), QStringLiteral("&Thumbnails"))->setCheckable(true);
    view->addSeparator();
    addEntry(view, QStringLiteral("mnuViewArrangeIcons"), QStringLiteral("Arrange &Icons"));
    view->addSeparator();
    addEntry(view, QStringLiteral("mnuViewRefresh"), QStringLiteral("&Refresh"));

    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    addEntry(help, QStringLiteral("mnuHelpAbout"), QStringLiteral("&About "));
}

void MainWindowActions::buildToolBar(QMainWindow &window)
{
    m_toolBar = window.addToolBar(QStringLiteral("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("tbToolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->toggleViewAction()->setVisible(false); // View > Toolbar is the one switch
    for (const ToolButton &b : kToolButtons) {
        const QIcon icon = QIcon::fromTheme(QString::fromLatin1(b.themeIcon), window.style()->standardIcon(b.fallback));
        QAction *button = m_toolBar->addAction(icon, QString::fromLatin1(b.toolTip));
        button->setObjectName(QString::fromLatin1(b.key));
        button->setToolTip(QString::fromLatin1(b.toolTip));
        button->setProperty("imageKey", QString::fromLatin1(b.imageKey));
        m_toolButtons.insert(button->objectName(), button);
        if (QAction *entry = action(QString::fromLatin1(b.menuEntry)))
            QObject::connect(button, &QAction::triggered, entry, &QAction::trigger);
    }
}

void MainWindowActions::buildPopup(QMainWindow &window)
{
    m_popup = new QMenu(&window);
    m_popup->setObjectName(QStringLiteral("mnuPopupMenu"));
    addEntry(m_popup, QStringLiteral("mnuShellExecute"), QStringLiteral("Shell Execute"));
    m_popup->addSeparator();
    addEntry(m_popup, QStringLiteral("mnuCopyItem"), QStringLiteral("Copy Item"));
    addEntry(m_popup, QStringLiteral("mnuClearList"), QStringLiteral("Clear List"));
    addEntry(m_popup, QStringLiteral("mnuRemoveItem"), QStringLiteral("Remove Item"));
}
