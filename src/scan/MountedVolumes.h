#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// The "drives" the Import Files wizard offers. Linux has no drive letters: every mounted
// volume on a disk, a USB stick or an optical disc stands for a drive, and its mount
// point is the drive's root folder.
namespace MountedVolumes {

struct VolumeInfo {
    QString rootPath;
    QByteArray device;
    QByteArray fileSystemType;
    bool isValid = true;
    bool isReady = true;
};

// Fixed, removable and optical volumes are offered. Network shares, RAM disks and the
// kernel's pseudo file systems are not, nor read-only package images (snaps), which
// the user never files media in.
bool isOffered(const VolumeInfo &volume);

// The root paths of the offered volumes: "/" always, first, then the others by path.
QStringList offeredRoots(const std::vector<VolumeInfo> &volumes);

// What the system has mounted now, as offeredRoots() says; mounts of single files
// (as containers bind them) are left out, since they hold no folders.
QStringList currentRoots();

} // namespace MountedVolumes
