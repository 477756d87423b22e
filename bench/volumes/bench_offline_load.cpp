// Loading a catalog of 1,000,000 records, 300,000 of them on a drive: plugged in, and
// unplugged. The unplugged load keeps every record and must cost no more than the
// plugged-in one: each volume folder is looked at once, not each file.
//
// Needs root (the drive is a tmpfs mounted for the run):
//   bench_offline_load [records in thousands, default 1000] [on the drive, default 300]

#include "AllocatorTuning.h"
#include "Catalog.h"
#include "CatalogFileWriter.h"
#include "ConnectedDrives.h"
#include "FileRecord.h"
#include "OpenFileList.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

constexpr int kFilesPerFolder = 1000;
constexpr int kRounds = 3;

QString fileOf(const QString &root, int i)
{
    return QStringLiteral("%1/d%2/IMG_%3.jpg").arg(root).arg(i / kFilesPerFolder).arg(i);
}

bool mountTmpfs(const QString &folder)
{
    QDir().mkpath(folder);
    return ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=512m,nr_inodes=2m") == 0;
}

void unmount(const QString &folder)
{
    ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
}

void makeFiles(const QString &root, int count)
{
    for (int i = 0; i < count; ++i) {
        if (i % kFilesPerFolder == 0)
            QDir().mkpath(QStringLiteral("%1/d%2").arg(root).arg(i / kFilesPerFolder));
        const int fd = ::open(QFile::encodeName(fileOf(root, i)).constData(), O_CREAT | O_WRONLY, 0644);
        if (fd >= 0)
            ::close(fd);
    }
}

struct Load {
    double seconds = 0;
    int records = 0;
    int missing = 0;
    int offline = 0;
};

Load load(const QString &catalogFile)
{
    Catalog catalog;
    QElapsedTimer timer;
    timer.start();
    const std::shared_ptr<const OfflineVolumes> drives = ConnectedDrives::now();
    const CatalogLoadReport report = OpenFileList(catalogFile, catalog, fileExistsOnDisk,
                                                  [&drives](QByteArrayView path) { return drives->offlineVolumeOfUtf8(path); });
    Load result;
    result.seconds = double(timer.nsecsElapsed()) / 1e9;
    result.records = catalog.records().size();
    result.missing = report.missingFiles;
    for (const OfflineVolumeFiles &volume : report.offlineVolumes)
        result.offline += volume.files;
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    tuneAllocatorForLargeCatalogs(argv);
    const int total = (argc > 1 ? std::atoi(argv[1]) : 1000) * 1000;
    const int onDrive = (argc > 2 ? std::atoi(argv[2]) : 300) * 1000;
    if (::geteuid() != 0) {
        std::printf("bench_offline_load needs root to mount its drive; nothing measured\n");
        return 0;
    }
    const QString base = QDir::tempPath() + QStringLiteral("/corvanta-bench-offline");
    const QString local = base + QStringLiteral("/local");
    const QString drive = base + QStringLiteral("/media/bench/USB");
    unmount(drive);
    unmount(local);
    if (!mountTmpfs(local) || !mountTmpfs(drive)) {
        std::printf("tmpfs cannot be mounted here; nothing measured\n");
        return 0;
    }
    ConnectedDrives::setSystemForTesting([drive] {
        VolumeSystem system = VolumeSystem::current();
        system.fstabMountPoints.append(drive);
        return system;
    });

    std::printf("making %d files (%d on the drive)...\n", total, onDrive);
    makeFiles(local, total - onDrive);
    makeFiles(drive, onDrive);
    Catalog catalog;
    catalog.tree().addRoot(QStringLiteral("Pictures"));
    catalog.records().reserve(total);
    // The drive's records stand among the others, a folder at a time, as a catalog
    // filled over the years has them.
    int onLocal = 0;
    int onTheDrive = 0;
    for (int i = 0; i < total; ++i) {
        const bool driveTurn = onTheDrive < onDrive && (onLocal >= total - onDrive || (i / kFilesPerFolder) % 10 < 3);
        catalog.records().append(MakeFileRecord(driveTurn ? fileOf(drive, onTheDrive++) : fileOf(local, onLocal++), 1,
                                                QStringLiteral("holiday")));
    }
    const QString catalogFile = base + QStringLiteral("/catalog.kvd");
    if (const auto error = CatalogFileWriter(catalog, -1).saveTo(catalogFile)) {
        std::printf("cannot write the catalog: %s\n", qPrintable(error->text()));
        return 1;
    }

    double bestPlugged = 1e9;
    double bestUnplugged = 1e9;
    Load plugged;
    Load unplugged;
    for (int round = 0; round < kRounds; ++round) {
        // The drive's files come back as they were: a tmpfs mounted anew is empty.
        if (round > 0) {
            mountTmpfs(drive);
            makeFiles(drive, onDrive);
        }
        plugged = load(catalogFile);
        bestPlugged = std::min(bestPlugged, plugged.seconds);
        unmount(drive);
        unplugged = load(catalogFile);
        bestUnplugged = std::min(bestUnplugged, unplugged.seconds);
        std::printf("round %d: plugged in %.3f s, unplugged %.3f s\n", round + 1, plugged.seconds, unplugged.seconds);
    }
    std::printf("plugged in: %d records kept, %d missing\n", plugged.records, plugged.missing);
    std::printf("unplugged:  %d records kept (%d on the unplugged drive), %d missing\n", unplugged.records,
                unplugged.offline, unplugged.missing);
    std::printf("load of %d records, %d on the drive: plugged in %.3f s, unplugged %.3f s, ratio %.2f (aim <= 1.0)\n",
                total, onDrive, bestPlugged, bestUnplugged, bestUnplugged / bestPlugged);
    unmount(local);
    QDir(base).removeRecursively();
    return 0;
}
