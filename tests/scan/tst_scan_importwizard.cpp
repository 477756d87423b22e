#include "ImportFilesWizard.h"
#include "MountedVolumes.h"
#include "ScanDialog.h"
#include "ScanTestSupport.h"
#include "ScanWindows.h"
#include "TestFiles.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using MountedVolumes::VolumeInfo;

namespace {

enum class Setup { NothingSelected, PlaceholderSelected, DriveGone, FolderRemoved, DriveNode, FolderNode, Cancelled };

QStringList childTexts(const QTreeWidgetItem *node)
{
    QStringList texts;
    for (int i = 0; i < node->childCount(); ++i)
        texts.append(node->child(i)->text(0));
    return texts;
}

QTreeWidgetItem *childNamed(QTreeWidgetItem *parent, const QString &name)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == name)
            return parent->child(i);
    }
    return nullptr;
}

bool hasOnlyAPlaceholder(const QTreeWidgetItem *node)
{
    return node->childCount() == 1 && node->child(0)->text(0).isEmpty()
        && ImportFilesWizard::kindOf(node->child(0)) == ImportFilesWizard::NodeKind::Placeholder;
}

} // namespace

Q_DECLARE_METATYPE(VolumeInfo)
Q_DECLARE_METATYPE(Setup)

// The Import Files wizard's folder tree and Continue, the drives it offers, and the
// windows of finding media opening one another.
class TestImportFilesWizard : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_volumes;
    bool m_includeSubfolders = false;
    ScriptedInteraction m_interaction;
    QPointer<ImportFilesWizard> m_wizard;

    ImportFilesWizard *openWizard()
    {
        m_wizard = new ImportFilesWizard(m_interaction, m_includeSubfolders, [this] { return m_volumes; });
        m_wizard->show();
        return m_wizard;
    }
    QTreeWidgetItem *drive() const { return m_wizard->folderTree()->topLevelItem(0); }
    QTreeWidgetItem *expandedDrive()
    {
        openWizard();
        m_wizard->folderTree()->expandItem(drive());
        return drive();
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QDir root(m_dir->path());
        for (const char *folder : {"beta/b1", "Alpha/x", "alpha2", ".hidden"})
            QVERIFY(root.mkpath(QString::fromLatin1(folder)));
        TestFiles::createFile(root.filePath(QStringLiteral("gamma/g.txt")));
        TestFiles::createFile(root.filePath(QStringLiteral("file.txt")));
        QVERIFY(QFile::link(root.filePath(QStringLiteral("Alpha")), root.filePath(QStringLiteral("linked"))));
        m_volumes = {m_dir->path()};
        m_includeSubfolders = false;
        m_interaction = ScriptedInteraction();
    }

    void cleanup()
    {
        delete m_wizard.data();
        QFile::setPermissions(m_dir->filePath(QStringLiteral("locked")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_dir.reset();
    }

    void opensWithOneNodePerDrive()
    {
        const QString second = m_dir->filePath(QStringLiteral("beta"));
        m_volumes = {m_dir->path(), second};
        openWizard();
        QCOMPARE(m_wizard->windowTitle(), QStringLiteral("Import Files Wizard"));
        QVERIFY(m_wizard->findChild<QCheckBox *>(QStringLiteral("chkIncludeSubfolders"))->isChecked());
        QTreeWidget *tree = m_wizard->folderTree();
        QCOMPARE(tree->objectName(), QStringLiteral("tvTreeView"));
        QCOMPARE(tree->topLevelItemCount(), 2);
        for (int i = 0; i < 2; ++i) {
            QTreeWidgetItem *node = tree->topLevelItem(i);
            QCOMPARE(node->text(0), m_volumes.at(i));
            QCOMPARE(node->data(0, ImportFilesWizard::KeyRole).toString(), m_volumes.at(i));
            QCOMPARE(ImportFilesWizard::kindOf(node), ImportFilesWizard::NodeKind::Drive);
            QVERIFY(hasOnlyAPlaceholder(node));
            QVERIFY(!node->isExpanded());
        }
        QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
        QVERIFY(tree->currentItem()->isSelected());
    }

    void expandingListsSortedSubfoldersAndRereadsTheDisk()
    {
        QTreeWidgetItem *root = expandedDrive();
        // Without regard to case; the link to a folder and the files are not listed.
        QCOMPARE(childTexts(root), (QStringList{".hidden", "Alpha", "alpha2", "beta", "gamma"}));
        // Only a folder with a subfolder can be opened: not one with files only, not an empty one.
        const QStringList expandable{"Alpha", "beta"};
        for (int i = 0; i < root->childCount(); ++i) {
            QTreeWidgetItem *child = root->child(i);
            QCOMPARE(ImportFilesWizard::kindOf(child), ImportFilesWizard::NodeKind::Folder);
            QCOMPARE(child->data(0, ImportFilesWizard::KeyRole).toString(), m_dir->filePath(child->text(0)));
            QCOMPARE(hasOnlyAPlaceholder(child), expandable.contains(child->text(0)));
            QCOMPARE(child->childCount(), expandable.contains(child->text(0)) ? 1 : 0);
            QCOMPARE(child->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
        }
        // Opening a folder reads only that folder.
        QTreeWidgetItem *alpha = childNamed(root, QStringLiteral("Alpha"));
        m_wizard->folderTree()->expandItem(alpha);
        QCOMPARE(childTexts(alpha), QStringList{QStringLiteral("x")});
        QCOMPARE(alpha->child(0)->data(0, ImportFilesWizard::KeyRole).toString(),
                 m_dir->filePath(QStringLiteral("Alpha/x")));
        QCOMPARE(alpha->child(0)->childCount(), 0);

        // Opening a drive again reads the disk again, and what was open below is closed.
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("delta")));
        m_wizard->folderTree()->collapseItem(root);
        m_wizard->folderTree()->expandItem(root);
        QCOMPARE(childTexts(root), (QStringList{".hidden", "Alpha", "alpha2", "beta", "delta", "gamma"}));
        alpha = childNamed(root, QStringLiteral("Alpha"));
        QVERIFY(!alpha->isExpanded());
        QVERIFY(hasOnlyAPlaceholder(alpha));
    }

    void unreadableFolderShowsNoExpandMark()
    {
        const QString locked = m_dir->filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(locked + QStringLiteral("/inner")));
        QVERIFY(QFile::setPermissions(locked, QFileDevice::Permissions()));
        if (!QDir(locked).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty())
            QSKIP("Folder permissions do not apply to this user (root)");
        QTreeWidgetItem *root = expandedDrive();
        QTreeWidgetItem *node = childNamed(root, QStringLiteral("locked"));
        QVERIFY(node);
        QCOMPARE(node->childCount(), 0);
        QVERIFY(hasOnlyAPlaceholder(childNamed(root, QStringLiteral("beta"))));
        QCOMPARE(root->childCount(), 6);
    }

    void continueAndCancel_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<bool>("ticked"); // the include-subfolders box, which Continue takes even when it refuses
        QTest::addColumn<QStringList>("messages"); // <root> stands for the drive's root
        QTest::addColumn<QString>("chosen"); // the folder handed over, relative to the root; none when null
        QTest::addColumn<bool>("visibleAfter");
        const QStringList chooseAFolder{"Corvanta|None|Ok|Please choose a folder to import."};
        QTest::newRow("nothing selected") << Setup::NothingSelected << true << chooseAFolder << QString() << true;
        // Only a hidden tree lets a placeholder become current: a visible one scrolls to
        // it, which opens its drive and so replaces it.
        QTest::newRow("placeholder selected") << Setup::PlaceholderSelected << true << chooseAFolder << QString()
                                              << false;
        QTest::newRow("drive no longer mounted")
            << Setup::DriveGone << false << QStringList{"Marlowind|Critical|Ok|Please put a disk in the <root> drive"}
            << QString() << true;
        QTest::newRow("folder removed meanwhile: nothing happens")
            << Setup::FolderRemoved << true << QStringList{} << QString() << true;
        QTest::newRow("drive node: its root") << Setup::DriveNode << true << QStringList{} << "" << false;
        QTest::newRow("folder node: its path") << Setup::FolderNode << false << QStringList{} << "Alpha" << false;
        QTest::newRow("Cancel: no folder, the box does not count")
            << Setup::Cancelled << true << QStringList{} << QString() << false;
    }

    void continueAndCancel()
    {
        QFETCH(Setup, setup);
        QFETCH(bool, ticked);
        QFETCH(QStringList, messages);
        QFETCH(QString, chosen);
        QTreeWidget *tree = openWizard()->folderTree();
        if (setup == Setup::FolderRemoved || setup == Setup::FolderNode || setup == Setup::Cancelled)
            tree->expandItem(drive());
        if (setup == Setup::NothingSelected) {
            tree->setCurrentItem(nullptr);
            tree->clearSelection();
        } else if (setup == Setup::PlaceholderSelected) {
            m_wizard->hide();
            tree->setCurrentItem(drive()->child(0));
            QCOMPARE(tree->currentItem()->text(0), QString());
        } else if (setup == Setup::DriveGone) {
            m_volumes.clear();
        } else if (setup == Setup::FolderRemoved) {
            tree->setCurrentItem(childNamed(drive(), QStringLiteral("alpha2")));
            QVERIFY(QDir(m_dir->path()).rmdir(QStringLiteral("alpha2")));
        } else if (setup != Setup::DriveNode) {
            tree->setCurrentItem(childNamed(drive(), QStringLiteral("Alpha")));
        }
        m_includeSubfolders = !ticked;
        m_wizard->includeSubfoldersBox()->setChecked(ticked);
        QSignalSpy chosenSpy(m_wizard.data(), &ImportFilesWizard::folderChosen);
        const bool cancelled = setup == Setup::Cancelled;
        m_wizard->findChild<QPushButton *>(cancelled ? QStringLiteral("cmdCancel") : QStringLiteral("cmdContinue"))
            ->click();
        QCOMPARE(m_interaction.shownMessages(), messages.replaceInStrings(QStringLiteral("<root>"), m_dir->path()));
        QStringList handedOver;
        for (const QList<QVariant> &signal : chosenSpy)
            handedOver.append(signal.at(0).toString());
        QCOMPARE(handedOver, chosen.isNull() ? QStringList{} : QStringList{QDir(m_dir->path()).filePath(chosen)});
        QCOMPARE(m_includeSubfolders, cancelled ? !ticked : ticked);
        if (chosen.isNull() && !cancelled) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!m_wizard.isNull());
            QTEST(m_wizard->isVisible(), "visibleAfter");
        } else {
            QTRY_VERIFY(m_wizard.isNull());
        }
    }

    // The window is no dialog: Enter on a node must be taught to mean Continue.
    void enterOnAFolderContinues()
    {
        QTreeWidget *tree = expandedDrive()->treeWidget();
        tree->setCurrentItem(childNamed(drive(), QStringLiteral("Alpha")));
        QSignalSpy chosen(m_wizard.data(), &ImportFilesWizard::folderChosen);
        QTest::keyClick(tree, Qt::Key_Return);
        QCOMPARE(chosen.value(0).value(0).toString(), m_dir->filePath(QStringLiteral("Alpha")));
        QTRY_VERIFY(m_wizard.isNull());
    }

    void offeredVolumes_data()
    {
        QTest::addColumn<VolumeInfo>("volume");
        QTest::addColumn<bool>("offered");
        QTest::newRow("fixed disk") << VolumeInfo{"/home", "/dev/sda2", "ext4"} << true;
        QTest::newRow("USB stick") << VolumeInfo{"/media/me/STICK", "/dev/sdb1", "vfat"} << true;
        QTest::newRow("NTFS disk through FUSE") << VolumeInfo{"/media/me/Data", "/dev/sdc1", "fuseblk"} << true;
        QTest::newRow("optical disc") << VolumeInfo{"/media/me/CDROM", "/dev/sr0", "iso9660"} << true;
        QTest::newRow("NFS share") << VolumeInfo{"/mnt/nfs", "server:/export", "nfs4"} << false;
        QTest::newRow("Windows share") << VolumeInfo{"/mnt/share", "//server/share", "cifs"} << false;
        QTest::newRow("SSH mount") << VolumeInfo{"/mnt/ssh", "me@host:", "fuse.sshfs"} << false;
        QTest::newRow("RAM disk") << VolumeInfo{"/tmp", "tmpfs", "tmpfs"} << false;
        QTest::newRow("RAM disk named like a device") << VolumeInfo{"/run/ram", "/dev/ram0", "ramfs"} << false;
        QTest::newRow("kernel pseudo file system") << VolumeInfo{"/proc", "proc", "proc"} << false;
        QTest::newRow("snap package image") << VolumeInfo{"/snap/core/1", "/dev/loop3", "squashfs"} << false;
        QTest::newRow("not ready") << VolumeInfo{"/media/me/CDROM", "/dev/sr0", "iso9660", true, false} << false;
        QTest::newRow("not valid") << VolumeInfo{"/gone", "/dev/sdd1", "ext4", false, true} << false;
    }

    void offeredVolumes()
    {
        QFETCH(VolumeInfo, volume);
        QTEST(MountedVolumes::isOffered(volume), "offered");
    }

    void offeredRootsStartWithTheRoot()
    {
        const std::vector<VolumeInfo> volumes = {
            {"/media/me/STICK", "/dev/sdb1", "vfat"}, {"/proc", "proc", "proc"}, {"/boot", "/dev/sda1", "ext4"},
            {"/", "overlay", "overlay"},              {"/boot", "/dev/sda1", "ext4"},
        };
        QCOMPARE(MountedVolumes::offeredRoots(volumes), (QStringList{"/", "/boot", "/media/me/STICK"}));
        QCOMPARE(MountedVolumes::offeredRoots({}), QStringList{"/"});
    }

    void scanWindowsOpenEachWindowOnce()
    {
        ScanFixture fixture;
        QWidget mainWindow;
        ScanWindows windows(fixture.context(), &mainWindow, [this] { return m_volumes; });
        ImportFilesWizard *wizard = windows.showImportFilesWizard();
        QVERIFY(wizard->isVisible());
        QCOMPARE(wizard->parentWidget(), &mainWindow);
        QCOMPARE(windows.showImportFilesWizard(), wizard);

        wizard->folderTree()->expandItem(wizard->folderTree()->topLevelItem(0));
        wizard->folderTree()->setCurrentItem(wizard->folderTree()->topLevelItem(0)->child(1));
        wizard->includeSubfoldersBox()->setChecked(false);
        wizard->findChild<QPushButton *>(QStringLiteral("cmdContinue"))->click();
        ScanDialog *dialog = windows.scanDialog();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Search"));
        QCOMPARE(dialog->folder(), m_dir->filePath(QStringLiteral("Alpha")));
        QVERIFY(!fixture.includeSubfolders);
        QTRY_VERIFY(windows.wizard() == nullptr);
        QCOMPARE(windows.showScanDialog(m_dir->path()), dialog);
        QCOMPARE(dialog->folder(), m_dir->path());
    }
};

QTEST_MAIN(TestImportFilesWizard)
#include "tst_scan_importwizard.moc"
