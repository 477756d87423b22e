#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>

class QCheckBox;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
namespace Interaction {
class Interface;
}

// The first step of finding media (frmImportFiles): the user picks a folder or a whole
// drive in a folder tree that reads the disk only when a node is opened, and says
// whether the folders below it count. Continue reports the folder and closes the wizard.
class ImportFilesWizard : public QWidget {
    Q_OBJECT

public:
    // The root folders of the drives to offer, in the order to show them.
    using VolumeSource = std::function<QStringList()>;

    enum NodeRole {
        KeyRole = Qt::UserRole + 1, // the full path of a drive or folder node
        KindRole,
    };
    enum class NodeKind { Placeholder, Drive, Folder };

    ImportFilesWizard(Interaction::Interface &interaction, bool &includeSubfolders, VolumeSource volumes,
                      QWidget *parent = nullptr);

    // Rebuilds the drive nodes, each with a placeholder until it is opened.
    void GetDrives();
    void ClearChildNodes(QTreeWidgetItem *node);
    void AddSubFolder(QTreeWidgetItem *parent, const QString &folderPath);

    QTreeWidget *folderTree() const { return m_tree; }
    QCheckBox *includeSubfoldersBox() const { return m_includeSubfoldersBox; }
    static NodeKind kindOf(const QTreeWidgetItem *node);

Q_SIGNALS:
    // Continue: the scan dialog is to open on this folder.
    void folderChosen(const QString &folder);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void rebuildChildren(QTreeWidgetItem *node);
    void continueToScan();
    QTreeWidgetItem *selectedNode() const;
    bool driveIsReady(const QString &root) const;
    static void addPlaceholder(QTreeWidgetItem *node);

    Interaction::Interface &m_interaction;
    bool &m_includeSubfolders;
    VolumeSource m_volumes;

    QTreeWidget *m_tree = nullptr;
    QCheckBox *m_includeSubfoldersBox = nullptr;
    QPushButton *m_continueButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
};
