#include "MountedVolumes.h"

#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace MountedVolumes {

namespace {

const QString kRoot = QStringLiteral("/");

bool isNetworkOrMemoryFileSystem(const QByteArray &type)
{
    static const QList<QByteArray> excluded = {
        "nfs",      "nfs4",     "cifs",       "smb3",  "smbfs",       "ncpfs",     "afs",   "ceph",
        "9p",       "sshfs",    "fuse.sshfs", "davfs", "fuse.rclone", "glusterfs", "tmpfs", "ramfs",
        "devtmpfs", "squashfs", "overlay",    "proc",  "sysfs",       "autofs",
    };
    return excluded.contains(type);
}

} // namespace

bool isOffered(const VolumeInfo &volume)
{
    if (!volume.isValid || !volume.isReady || volume.rootPath.isEmpty())
        return false;
    // Block devices live under /dev; network shares name a server and pseudo file
    // systems name themselves ("proc", "tmpfs").
    if (!volume.device.startsWith("/dev/"))
        return false;
    return !isNetworkOrMemoryFileSystem(volume.fileSystemType);
}

QStringList offeredRoots(const std::vector<VolumeInfo> &volumes)
{
    QStringList roots;
    for (const VolumeInfo &volume : volumes) {
        if (isOffered(volume) && volume.rootPath != kRoot && !roots.contains(volume.rootPath))
            roots.append(volume.rootPath);
    }
    std::sort(roots.begin(), roots.end());
    // In a container the root is an overlay, and it is still where the files are.
    roots.prepend(kRoot);
    return roots;
}

QStringList currentRoots()
{
    std::vector<VolumeInfo> volumes;
    const QList<QStorageInfo> mounted = QStorageInfo::mountedVolumes();
    for (const QStorageInfo &storage : mounted) {
        if (!QFileInfo(storage.rootPath()).isDir())
            continue;
        volumes.push_back(
            {storage.rootPath(), storage.device(), storage.fileSystemType(), storage.isValid(), storage.isReady()});
    }
    return offeredRoots(volumes);
}

} // namespace MountedVolumes
