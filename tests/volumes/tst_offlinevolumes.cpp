#include "MountTable.h"
#include "OfflineVolumes.h"

#include <QHash>
#include <QTest>

// The rule that keeps the files of an unplugged drive, over a made-up system.
class TestOfflineVolumes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void offlineRule_data();
    void offlineRule();
    void volumeFolderIsDecidedOnce();
    void mountTables();
};

namespace {

VolumeSystem madeUpSystem(const QHash<QString, FolderContent> &folders)
{
    VolumeSystem system;
    system.mountedNow = {QStringLiteral("/"), QStringLiteral("/data"), QStringLiteral("/mnt/plugged"),
                         QStringLiteral("/media/alice/Camera"), QStringLiteral("/run/user/1000/gvfs")};
    system.fstabMountPoints = {QStringLiteral("/"), QStringLiteral("/data"), QStringLiteral("/data/backup"),
                               QStringLiteral("/srv/archive"), QStringLiteral("/srv/photos/")};
    system.isUserName = [](const QString &name) { return name == QLatin1String("alice"); };
    system.folderContent = [folders](const QString &folder) { return folders.value(folder, FolderContent::Absent); };
    return system;
}

} // namespace

void TestOfflineVolumes::offlineRule_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("content"); // what the volume folder holds now
    QTest::addColumn<QString>("offlineVolume");

    const int absent = int(FolderContent::Absent);
    const int empty = int(FolderContent::Empty);
    const int holds = int(FolderContent::HoldsEntries);
    QTest::newRow("fstab, unmounted and absent") << "/srv/archive/2019/a.jpg" << "/srv/archive" << absent << "/srv/archive";
    QTest::newRow("fstab, unmounted and empty") << "/srv/archive/a.jpg" << "/srv/archive" << empty << "/srv/archive";
    QTest::newRow("fstab, unmounted but holding files") << "/srv/archive/a.jpg" << "/srv/archive" << holds << "";
    QTest::newRow("fstab with a trailing slash") << "/srv/photos/a.jpg" << "/srv/photos" << empty << "/srv/photos";
    QTest::newRow("fstab, mounted: really gone") << "/data/a.jpg" << "/data" << holds << "";
    QTest::newRow("nested: the deeper mount point counts") << "/data/backup/a.jpg" << "/data/backup" << empty
                                                           << "/data/backup";
    QTest::newRow("nested: beside the deeper one") << "/data/other/a.jpg" << "/data/other" << absent << "";
    QTest::newRow("a folder of the same prefix is no volume") << "/srv/archived/a.jpg" << "/srv/archived" << absent
                                                              << "";
    QTest::newRow("/media/USER/NAME") << "/media/alice/Photos2020/x/a.jpg" << "/media/alice/Photos2020" << absent
                                      << "/media/alice/Photos2020";
    QTest::newRow("/media/USER/NAME mounted") << "/media/alice/Camera/a.jpg" << "/media/alice/Camera" << holds << "";
    QTest::newRow("/media/USER itself is no drive") << "/media/alice/a.jpg" << "/media/alice" << empty << "";
    QTest::newRow("/media/NAME") << "/media/USBSTICK/sub/a.jpg" << "/media/USBSTICK" << empty << "/media/USBSTICK";
    QTest::newRow("/run/media/USER/NAME") << "/run/media/bob/Disk/a.mp3" << "/run/media/bob/Disk" << absent
                                          << "/run/media/bob/Disk";
    QTest::newRow("/mnt/NAME") << "/mnt/stick/a.jpg" << "/mnt/stick" << empty << "/mnt/stick";
    QTest::newRow("/mnt/NAME mounted") << "/mnt/plugged/a.jpg" << "/mnt/plugged" << holds << "";
    QTest::newRow("/mnt/NAME that holds files") << "/mnt/files/a.jpg" << "/mnt/files" << holds << "";
    QTest::newRow("a file right in /mnt") << "/mnt/a.jpg" << "/mnt" << empty << "";
    QTest::newRow("desktop network share") << "/run/user/1000/gvfs/smb-share:server=nas,share=music/a.mp3"
                                           << "/run/user/1000/gvfs/smb-share:server=nas,share=music" << absent
                                           << "/run/user/1000/gvfs/smb-share:server=nas,share=music";
    QTest::newRow("an ordinary folder") << "/home/alice/Pictures/a.jpg" << "/home/alice/Pictures" << absent << "";
    QTest::newRow("a relative path") << "media/USBSTICK/a.jpg" << "media/USBSTICK" << absent << "";
}

void TestOfflineVolumes::offlineRule()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(int, content);
    const OfflineVolumes volumes(madeUpSystem({{folder, FolderContent(content)}}));
    QTEST(volumes.offlineVolumeOf(path), "offlineVolume");
}

void TestOfflineVolumes::volumeFolderIsDecidedOnce()
{
    // 300,000 files of one unplugged drive cost one look at its folder.
    int looks = 0;
    VolumeSystem system = madeUpSystem({});
    system.folderContent = [&looks](const QString &) {
        ++looks;
        return FolderContent::Absent;
    };
    const OfflineVolumes volumes(system);
    for (int i = 0; i < 1000; ++i)
        QCOMPARE(volumes.offlineVolumeOf(QStringLiteral("/mnt/stick/%1/a.jpg").arg(i)), QStringLiteral("/mnt/stick"));
    QCOMPARE(looks, 1);
}

void TestOfflineVolumes::mountTables()
{
    const QByteArray mountInfo = "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
                                 "40 22 8:17 / /media/alice/My\\040Photos rw,nosuid shared:7 - vfat /dev/sdb1 rw\n"
                                 "41 22 0:40 / /run/user/1000/gvfs rw - fuse.gvfsd-fuse gvfsd-fuse rw\n";
    QCOMPARE(MountTable::mountPointsFromMountInfo(mountInfo),
             (QStringList{"/", "/media/alice/My Photos", "/run/user/1000/gvfs"}));
    const QByteArray fstab = "# /etc/fstab: static file system information.\n"
                             "UUID=1234 / ext4 errors=remount-ro 0 1\n"
                             "\n"
                             "UUID=5678 none swap sw 0 0\n"
                             "/dev/sdb1\t/mnt/usb\\040drive  vfat noauto,user 0 0\n"
                             "   # an indented comment\n";
    QCOMPARE(MountTable::mountPointsFromFstab(fstab), (QStringList{"/", "/mnt/usb drive"}));
}

QTEST_GUILESS_MAIN(TestOfflineVolumes)
#include "tst_offlinevolumes.moc"
