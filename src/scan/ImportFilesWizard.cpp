#include "ImportFilesWizard.h"

#include "FolderListing.h"
#include "Interaction.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

ImportFilesWizard::ImportFilesWizard(Interaction::Interface &interaction, bool &includeSubfolders, VolumeSource volumes,
                                     QWidget *parent)
    : QWidget(parent, Qt::Dialog)
    , m_interaction(interaction)
    , m_includeSubfolders(includeSubfolders)
    , m_volumes(std::move(volumes))
{
    setObjectName(QStringLiteral("frmImportFiles"));
    setWindowTitle(QStringLiteral("Import Files Wizard"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *frame = new QGroupBox(QStringLiteral("Choose Media Path"), this);
    m_tree = new QTreeWidget(frame);
    m_tree->setObjectName(QStringLiteral("tvTreeView"));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setUniformRowHeights(true);
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tree->header()->setStretchLastSection(false);

    m_includeSubfoldersBox = new QCheckBox(QStringLiteral("Include Subfolders"), frame);
    m_includeSubfoldersBox->setObjectName(QStringLiteral("chkIncludeSubfolders"));
    m_includeSubfoldersBox->setChecked(true);

    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_tree);
    frameLayout->addWidget(m_includeSubfoldersBox);

    m_continueButton = new QPushButton(QStringLiteral("Continue"), this);
    m_continueButton->setObjectName(QStringLiteral("cmdContinue"));
    m_continueButton->setDefault(true);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancelButton->setObjectName(QStringLiteral("cmdCancel"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_continueButton);
    buttons->addWidget(m_cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    resize(360, 420);

    // Opening a node reads its folder afresh every time, so folders made meanwhile show.
    connect(m_tree, &QTreeWidget::itemExpanded, this, &ImportFilesWizard::rebuildChildren);
    m_tree->installEventFilter(this);
    connect(m_continueButton, &QPushButton::clicked, this, &ImportFilesWizard::continueToScan);
    connect(m_cancelButton, &QPushButton::clicked, this, &QWidget::close);

    GetDrives();
    if (QTreeWidgetItem *first = m_tree->topLevelItem(0))
        m_tree->setCurrentItem(first);
}

// Enter on a folder chooses it, as Continue does. The window is no dialog, so its
// default button does not take Enter by itself.
bool ImportFilesWizard::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tree && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            continueToScan();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

ImportFilesWizard::NodeKind ImportFilesWizard::kindOf(const QTreeWidgetItem *node)
{
    return node ? NodeKind(node->data(0, KindRole).toInt()) : NodeKind::Placeholder;
}

void ImportFilesWizard::GetDrives()
{
    m_tree->clear();
    const QStringList roots = m_volumes ? m_volumes() : QStringList();
    for (const QString &root : roots) {
        auto *drive = new QTreeWidgetItem(m_tree, {root});
        drive->setData(0, KeyRole, root);
        drive->setData(0, KindRole, int(NodeKind::Drive));
        // Whether a drive has folders is found out only when it is opened: asking a
        // slow disk for all of them up front would hold the window up.
        addPlaceholder(drive);
    }
}

void ImportFilesWizard::ClearChildNodes(QTreeWidgetItem *node)
{
    qDeleteAll(node->takeChildren());
}

void ImportFilesWizard::AddSubFolder(QTreeWidgetItem *parent, const QString &folderPath)
{
    auto *folder = new QTreeWidgetItem(parent, {QFileInfo(folderPath).fileName()});
    folder->setData(0, KeyRole, folderPath);
    folder->setData(0, KindRole, int(NodeKind::Folder));
    // A folder we may not look into shows no expand mark rather than one that leads
    // nowhere.
    if (FolderListing::hasSubfolder(folderPath))
        addPlaceholder(folder);
}

void ImportFilesWizard::addPlaceholder(QTreeWidgetItem *node)
{
    auto *placeholder = new QTreeWidgetItem(node, {QString()});
    placeholder->setData(0, KindRole, int(NodeKind::Placeholder));
}

void ImportFilesWizard::rebuildChildren(QTreeWidgetItem *node)
{
    if (kindOf(node) == NodeKind::Placeholder)
        return;
    const QString folder = node->data(0, KeyRole).toString();
    ClearChildNodes(node);
    // Sorted before adding, which shows the children as a sorted node would.
    const QStringList names = FolderListing::subfolderNames(folder);
    for (const QString &name : names)
        AddSubFolder(node, FolderListing::childPath(folder, name));
}

QTreeWidgetItem *ImportFilesWizard::selectedNode() const
{
    QTreeWidgetItem *current = m_tree->currentItem();
    return current && current->isSelected() ? current : nullptr;
}

bool ImportFilesWizard::driveIsReady(const QString &root) const
{
    // A stick pulled out since the tree was built is no longer mounted.
    const QStringList roots = m_volumes ? m_volumes() : QStringList();
    return roots.contains(root) && QFileInfo(root).isDir();
}

void ImportFilesWizard::continueToScan()
{
    m_includeSubfolders = m_includeSubfoldersBox->isChecked();
    QTreeWidgetItem *node = selectedNode();
    if (!node || node->text(0).isEmpty()) {
        m_interaction.message(QStringLiteral("Please choose a folder to import."), Interaction::kProgramTitle,
                              Interaction::Icon::None);
        return;
    }
    const QString folder = node->data(0, KeyRole).toString();
    if (kindOf(node) == NodeKind::Drive) {
        if (!driveIsReady(folder)) {
            m_interaction.message(QStringLiteral("Please put a disk in the ") + folder + QStringLiteral(" drive"),
                                  Interaction::kMarlowindTitle, Interaction::Icon::Critical);
            return;
        }
    } else if (!QFileInfo(folder).isDir()) {
        // Removed since the tree was read: the wizard simply stays open.
        return;
    }
    Q_EMIT folderChosen(folder);
    close();
}
