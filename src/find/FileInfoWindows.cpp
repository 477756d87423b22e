#include "FileInfoWindows.h"

#include "FileListModel.h"
#include "FileTypeCache.h"
#include "Interaction.h"
#include "OpenWithShell.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

namespace {

template <typename Window>
Window *bringForward(Window *window)
{
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace

FileInfoWindows::FileInfoWindows(Interaction::Interface &ui, FileTypeCache &types, QAbstractItemView &fileList,
                                 QObject *parent)
    : QObject(parent)
    , m_ui(ui)
    , m_types(types)
    , m_fileList(fileList)
    , m_systemInfo(AboutBox::installedSystemInfo())
{
}

FileInfoWindows::~FileInfoWindows()
{
    // Windows of their own with no owner: nothing else takes them down.
    delete m_properties;
    delete m_about;
    delete m_quotations;
}

QString FileInfoWindows::selectedPath() const
{
    const QModelIndex current = m_fileList.currentIndex();
    const QItemSelectionModel *selection = m_fileList.selectionModel();
    if (!current.isValid() || !selection || !selection->isRowSelected(current.row(), current.parent()))
        return {};
    return current.siblingAtColumn(0).data(FileListModel::PathRole).toString();
}

void FileInfoWindows::showPropertiesFromMenu()
{
    if (!m_fileList.model() || m_fileList.model()->rowCount() == 0) {
        m_ui.message(QStringLiteral("Please select a file."), Interaction::kMarlowindTitle,
                     Interaction::Icon::Exclamation);
        return;
    }
    showProperties();
}

PropertiesDialog *FileInfoWindows::showProperties()
{
    if (m_properties)
        return bringForward(m_properties.data());
    const QString path = selectedPath();
    if (path.isEmpty() || OpenWithShell::reportOfflineDrive(m_ui, path))
        return nullptr;
    auto *dialog = new PropertiesDialog(m_ui);
    if (!dialog->UpdateInformation(path, [this](const QString &file) { return m_types.descriptionForPath(file); })) {
        delete dialog;
        return nullptr;
    }
    dialog->setPath(path);
    m_properties = dialog;
    return bringForward(dialog);
}

void FileInfoWindows::shellExecuteSelected()
{
    OpenWithShell::open(m_ui, selectedPath());
}

void FileInfoWindows::execute(const QString &shownPath)
{
    OpenWithShell::open(m_ui, shownPath);
}

AboutBox *FileInfoWindows::showAbout()
{
    if (!m_about)
        m_about = new AboutBox(m_ui, m_systemInfo, [this] { showQuotations(); });
    return bringForward(m_about.data());
}

QuotationsWindow *FileInfoWindows::showQuotations()
{
    if (!m_quotations)
        m_quotations = new QuotationsWindow(m_quoteStep);
    return bringForward(m_quotations.data());
}
