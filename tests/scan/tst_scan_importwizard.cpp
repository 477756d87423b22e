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

Q_DECLARE_METATYPE(VolumeInfo)

class TestImportFilesWizard : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void opensWithOneNodePerDrive();
    void expandingListsSortedSubfoldersOnly();
    void expandMarks_data();
    void expandMarks();
    void expandingAgainRereadsTheDisk();
    void unreadableFolderShowsNoExpandMark();
    void continueWithoutAFolder_data();
    void continueWithoutAFolder();
    void continueHandsOverTheFolder_data();
    void continueHandsOverTheFolder();
    void continueOnADriveNoLongerMounted();
    void continueOnAFolderRemovedMeanwhile();
    void cancelKeepsIncludeSubfolders();
    void offeredVolumes_data();
    void offeredVolumes();
    void offeredRootsStartWithTheRoot();
    void scanWindowsOpenEachWindowOnce();

private:
    ImportFilesWizard *openWizard();
    QTreeWidgetItem *drive() const { return m_wizard->folderTree()->topLevelItem(0); }
    QTreeWidgetItem *childNamed(QTreeWidgetItem *parent, const QString &name) const;
    QTreeWidgetItem *expandedDrive();

    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_volumes;
    bool m_includeSubfolders = false;
    ScriptedInteraction m_interaction;
    QPointer<ImportFilesWizard> m_wizard;
};

namespace {

QStringList childTexts(const QTreeWidgetItem *node)
{
    QStringList texts;
    for (int i = 0; i < node->childCount(); ++i)
        texts.append(node->child(i)->text(0));
    return texts;
}

bool hasOnlyAPlaceholder(const QTreeWidgetItem *node)
{
    return node->childCount() == 1 && node->child(0)->text(0).isEmpty()
        && ImportFilesWizard::kindOf(node->child(0)) == ImportFilesWizard::NodeKind::Placeholder;
}

} // namespace

void TestImportFilesWizard::init()
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

void TestImportFilesWizard::cleanup()
{
    delete m_wizard.data();
    QFile::setPermissions(m_dir->filePath(QStringLiteral("locked")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_dir.reset();
}

ImportFilesWizard *TestImportFilesWizard::openWizard()
{
    m_wizard = new ImportFilesWizard(m_interaction, m_includeSubfolders, [this] { return m_volumes; });
    m_wizard->show();
    return m_wizard;
}

QTreeWidgetItem *TestImportFilesWizard::childNamed(QTreeWidgetItem *parent, const QString &name) const
{
    for (int i = 0; i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == name)
            return parent->child(i);
    }
    return nullptr;
}

QTreeWidgetItem *TestImportFilesWizard::expandedDrive()
{
    openWizard();
    m_wizard->folderTree()->expandItem(drive());
    return drive();
}

void TestImportFilesWizard::opensWithOneNodePerDrive()
{
    const QString second = m_dir->filePath(QStringLiteral("beta"));
    m_volumes = {m_dir->path(), second};
    openWizard();
    QCOMPARE(m_wizard->windowTitle(), QStringLiteral("Import Files Wizard"));
    QVERIFY(m_wizard->findChild<QCheckBox *>(QStringLiteral("chkIncludeSubfolders"))->isChecked());
    QTreeWidget *tree = m_wizard->folderTree();
    QCOMPARE(tree->objectName(), QStringLiteral("tvTreeView"));
    QCOMPARE(tree->topLevelItemCount(), 2);
    const QStringList roots{m_dir->path(), second};
    for (int i = 0; i < 2; ++i) {
        QTreeWidgetItem *node = tree->topLevelItem(i);
        QCOMPARE(node->text(0), roots.at(i));
        QCOMPARE(node->data(0, ImportFilesWizard::KeyRole).toString(), roots.at(i));
        QCOMPARE(ImportFilesWizard::kindOf(node), ImportFilesWizard::NodeKind::Drive);
        QVERIFY(hasOnlyAPlaceholder(node));
        QVERIFY(!node->isExpanded());
    }
    QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
    QVERIFY(tree->currentItem()->isSelected());
}

void TestImportFilesWizard::expandingListsSortedSubfoldersOnly()
{
    QTreeWidgetItem *root = expandedDrive();
    // Without regard to case; the link to a folder and the files are not listed.
    QCOMPARE(childTexts(root), (QStringList{".hidden", "Alpha", "alpha2", "beta", "gamma"}));
    for (int i = 0; i < root->childCount(); ++i) {
        QTreeWidgetItem *child = root->child(i);
        QCOMPARE(ImportFilesWizard::kindOf(child), ImportFilesWizard::NodeKind::Folder);
        QCOMPARE(child->data(0, ImportFilesWizard::KeyRole).toString(), m_dir->filePath(child->text(0)));
    }
    // Opening a folder reads only that folder.
    QTreeWidgetItem *alpha = childNamed(root, QStringLiteral("Alpha"));
    QVERIFY(hasOnlyAPlaceholder(alpha));
    m_wizard->folderTree()->expandItem(alpha);
    QCOMPARE(childTexts(alpha), QStringList{QStringLiteral("x")});
    QCOMPARE(alpha->child(0)->data(0, ImportFilesWizard::KeyRole).toString(),
             m_dir->filePath(QStringLiteral("Alpha/x")));
    QCOMPARE(alpha->child(0)->childCount(), 0);
}

void TestImportFilesWizard::expandMarks_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("expandable");
    QTest::newRow("folder with a subfolder") << QStringLiteral("Alpha") << true;
    QTest::newRow("folder with files only") << QStringLiteral("gamma") << false;
    QTest::newRow("empty folder") << QStringLiteral("alpha2") << false;
    QTest::newRow("hidden folder without subfolders") << QStringLiteral(".hidden") << false;
}

void TestImportFilesWizard::expandMarks()
{
    QFETCH(QString, folder);
    QFETCH(bool, expandable);
    QTreeWidgetItem *node = childNamed(expandedDrive(), folder);
    QVERIFY(node);
    QCOMPARE(hasOnlyAPlaceholder(node), expandable);
    QCOMPARE(node->childCount(), expandable ? 1 : 0);
    QCOMPARE(node->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void TestImportFilesWizard::expandingAgainRereadsTheDisk()
{
    QTreeWidgetItem *root = expandedDrive();
    QTreeWidget *tree = m_wizard->folderTree();
    tree->expandItem(childNamed(root, QStringLiteral("Alpha")));
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("delta")));
    tree->collapseItem(root);
    tree->expandItem(root);
    QCOMPARE(childTexts(root), (QStringList{".hidden", "Alpha", "alpha2", "beta", "delta", "gamma"}));
    // What was open below is closed again.
    QTreeWidgetItem *alpha = childNamed(root, QStringLiteral("Alpha"));
    QVERIFY(!alpha->isExpanded());
    QVERIFY(hasOnlyAPlaceholder(alpha));
}

void TestImportFilesWizard::unreadableFolderShowsNoExpandMark()
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

void TestImportFilesWizard::continueWithoutAFolder_data()
{
    QTest::addColumn<bool>("selectPlaceholder");
    QTest::newRow("nothing selected") << false;
    QTest::newRow("placeholder selected") << true;
}

void TestImportFilesWizard::continueWithoutAFolder()
{
    QFETCH(bool, selectPlaceholder);
    ImportFilesWizard *wizard = openWizard();
    QTreeWidget *tree = wizard->folderTree();
    if (selectPlaceholder) {
        // Only a hidden tree lets a placeholder become current: a visible one scrolls to
        // it, which opens its drive and so replaces it.
        wizard->hide();
        tree->setCurrentItem(drive()->child(0));
        QCOMPARE(tree->currentItem()->text(0), QString());
    } else {
        tree->setCurrentItem(nullptr);
        tree->clearSelection();
    }
    QSignalSpy chosen(wizard, &ImportFilesWizard::folderChosen);
    wizard->findChild<QPushButton *>(QStringLiteral("cmdContinue"))->click();
    QCOMPARE(describeAll(m_interaction.messages),
             QStringList{QStringLiteral("Corvanta|none|ok|Please choose a folder to import.")});
    QCOMPARE(chosen.count(), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!m_wizard.isNull());
    QCOMPARE(wizard->isVisible(), !selectPlaceholder);
    // The box counts even so.
    QVERIFY(m_includeSubfolders);
}

void TestImportFilesWizard::continueHandsOverTheFolder_data()
{
    QTest::addColumn<QString>("folder"); // empty for the drive node
    QTest::addColumn<bool>("includeSubfolders");
    QTest::newRow("drive node: its root, subfolders included") << QString() << true;
    QTest::newRow("folder node: its path, subfolders left out") << QStringLiteral("Alpha") << false;
}

void TestImportFilesWizard::continueHandsOverTheFolder()
{
    QFETCH(QString, folder);
    QFETCH(bool, includeSubfolders);
    m_includeSubfolders = !includeSubfolders;
    QTreeWidgetItem *root = expandedDrive();
    if (!folder.isEmpty())
        m_wizard->folderTree()->setCurrentItem(childNamed(root, folder));
    m_wizard->includeSubfoldersBox()->setChecked(includeSubfolders);
    QSignalSpy chosen(m_wizard.data(), &ImportFilesWizard::folderChosen);
    m_wizard->findChild<QPushButton *>(QStringLiteral("cmdContinue"))->click();
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.at(0).at(0).toString(), folder.isEmpty() ? m_dir->path() : m_dir->filePath(folder));
    QCOMPARE(m_includeSubfolders, includeSubfolders);
    QVERIFY(m_interaction.messages.isEmpty());
    QTRY_VERIFY(m_wizard.isNull());
}

void TestImportFilesWizard::continueOnADriveNoLongerMounted()
{
    openWizard();
    m_volumes.clear();
    QSignalSpy chosen(m_wizard.data(), &ImportFilesWizard::folderChosen);
    m_wizard->findChild<QPushButton *>(QStringLiteral("cmdContinue"))->click();
    QCOMPARE(describeAll(m_interaction.messages),
             QStringList{QStringLiteral("Marlowind|critical|ok|Please put a disk in the ") + m_dir->path()
                         + QStringLiteral(" drive")});
    QCOMPARE(chosen.count(), 0);
    QVERIFY(m_wizard->isVisible());
}

void TestImportFilesWizard::continueOnAFolderRemovedMeanwhile()
{
    QTreeWidgetItem *root = expandedDrive();
    m_wizard->folderTree()->setCurrentItem(childNamed(root, QStringLiteral("alpha2")));
    QVERIFY(QDir(m_dir->path()).rmdir(QStringLiteral("alpha2")));
    QSignalSpy chosen(m_wizard.data(), &ImportFilesWizard::folderChosen);
    m_wizard->findChild<QPushButton *>(QStringLiteral("cmdContinue"))->click();
    QCOMPARE(chosen.count(), 0);
    QVERIFY(m_interaction.messages.isEmpty());
    QVERIFY(m_wizard->isVisible());
}

void TestImportFilesWizard::cancelKeepsIncludeSubfolders()
{
    m_includeSubfolders = true;
    openWizard();
    m_wizard->includeSubfoldersBox()->setChecked(false);
    m_wizard->findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click();
    QTRY_VERIFY(m_wizard.isNull());
    QVERIFY(m_includeSubfolders);
}

void TestImportFilesWizard::offeredVolumes_data()
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

void TestImportFilesWizard::offeredVolumes()
{
    QFETCH(VolumeInfo, volume);
    QFETCH(bool, offered);
    QCOMPARE(MountedVolumes::isOffered(volume), offered);
}

void TestImportFilesWizard::offeredRootsStartWithTheRoot()
{
    const std::vector<VolumeInfo> volumes = {
        {"/media/me/STICK", "/dev/sdb1", "vfat"}, {"/proc", "proc", "proc"},
        {"/boot", "/dev/sda1", "ext4"},           {"/", "overlay", "overlay"},
        {"/boot", "/dev/sda1", "ext4"},
    };
    QCOMPARE(MountedVolumes::offeredRoots(volumes), (QStringList{"/", "/boot", "/media/me/STICK"}));
    QCOMPARE(MountedVolumes::offeredRoots({}), QStringList{"/"});
    QVERIFY(MountedVolumes::currentRoots().startsWith(QStringLiteral("/")));
}

void TestImportFilesWizard::scanWindowsOpenEachWindowOnce()
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

QTEST_MAIN(TestImportFilesWizard)
#include "tst_scan_importwizard.moc"
