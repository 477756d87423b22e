#include "Catalog.h"
#include "CatalogFileWriter.h"
#include "ConnectedDrives.h"
#include "FileIconCache.h"
#include "FileListModel.h"
#include "FileRecord.h"
#include "FileTypeCache.h"
#include "MountTable.h"
#include "OpenFileList.h"
#include "TestFiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/mount.h>
#include <unistd.h>

// A real drive: a small tmpfs mounted on a folder that the rule knows as a place drives
// are mounted on, unmounted while the catalog is closed.
class TestUnpluggedDrive : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void catalogKeepsTheFilesOfAnUnpluggedDrive();

private:
    bool plugIn();
    void unplug();
    QString listedType(FileListModel &model, const Catalog &catalog);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_drive;
    bool m_mounted = false;
};

void TestUnpluggedDrive::init()
{
    if (::geteuid() != 0)
        QSKIP("mounting a drive needs root");
    m_dir = std::make_unique<QTemporaryDir>();
    m_drive = m_dir->filePath(QStringLiteral("media/alice/USB"));
    QVERIFY(QDir().mkpath(m_drive));
    ConnectedDrives::setSystemForTesting([this] {
        VolumeSystem system = VolumeSystem::current();
        system.fstabMountPoints.append(m_drive);
        return system;
    });
    if (!plugIn())
        QSKIP("tmpfs cannot be mounted here");
}

void TestUnpluggedDrive::cleanup()
{
    unplug();
    ConnectedDrives::setSystemForTesting({});
}

bool TestUnpluggedDrive::plugIn()
{
    m_mounted = ::mount("tmpfs", QFile::encodeName(m_drive).constData(), "tmpfs", 0, "size=1m") == 0;
    return m_mounted;
}

void TestUnpluggedDrive::unplug()
{
    if (m_mounted)
        QVERIFY(::umount2(QFile::encodeName(m_drive).constData(), 0) == 0);
    m_mounted = false;
}

QString TestUnpluggedDrive::listedType(FileListModel &model, const Catalog &catalog)
{
    QSignalSpy finished(&model, &FileListModel::listingFinished);
    model.ShowCategoryFiles(catalog, 1);
    if (finished.isEmpty() && !finished.wait(10000))
        return QStringLiteral("no listing");
    return model.index(0, TypeColumn).data().toString();
}

void TestUnpluggedDrive::catalogKeepsTheFilesOfAnUnpluggedDrive()
{
    const QString picture = TestFiles::createFile(m_drive + QStringLiteral("/Trip/a.jpg"), "jpeg");
    TestFiles::createFile(m_drive + QStringLiteral("/Trip/b.jpg"), "jpeg");
    Catalog original;
    original.tree().addRoot(QStringLiteral("Trips"));
    original.records().append(MakeFileRecord(picture, 1, QStringLiteral("beach")));
    original.records().append(MakeFileRecord(m_drive + QStringLiteral("/Trip/b.jpg"), 1, QString()));
    const QString first = m_dir->filePath(QStringLiteral("first.kvd"));
    QVERIFY(!CatalogFileWriter(original, -1).saveTo(first));

    unplug();
    Catalog catalog;
    const std::shared_ptr<const OfflineVolumes> drives = ConnectedDrives::now();
    const CatalogLoadReport report = OpenFileList(first, catalog, fileExistsOnDisk, [&drives](QByteArrayView path) {
        return drives->offlineVolumeOfUtf8(path);
    });
    QCOMPARE(report.missingFiles, 0);
    QCOMPARE(report.offlineVolumes.size(), 1);
    QCOMPARE(report.offlineVolumes[0].volumeFolder, m_drive);
    QCOMPARE(report.offlineVolumes[0].files, 2);
    QCOMPARE(catalog.records().size(), 2);
    QVERIFY(catalog.FileListSaved());

    FileTypeCache types;
    FileIconCache icons(types);
    FileListModel model(icons, types);
    QCOMPARE(listedType(model, catalog), FileListModel::kOfflineType);
    QCOMPARE(model.index(0, KeywordsColumn).data().toString(), QStringLiteral("beach"));

    // Saved while unplugged, the catalog is the one it was.
    const QString second = m_dir->filePath(QStringLiteral("second.kvd"));
    QVERIFY(!CatalogFileWriter(catalog, -1).saveTo(second));
    QCOMPARE(TestFiles::readFile(second), TestFiles::readFile(first));

    // Plugged in again, its files list as before, without loading the catalog again.
    QVERIFY(plugIn());
    TestFiles::createFile(picture, "jpeg");
    TestFiles::createFile(m_drive + QStringLiteral("/Trip/b.jpg"), "jpeg");
    QVERIFY(listedType(model, catalog) != FileListModel::kOfflineType);
    QVERIFY(!model.index(0, 0).data(FileListModel::OfflineRole).toBool());
}

QTEST_MAIN(TestUnpluggedDrive)
#include "tst_unpluggeddrive.moc"
