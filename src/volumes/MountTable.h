#pragma once

#include <QByteArrayView>
#include <QStringList>

// The two tables the system keeps of mounts: what is mounted now (the kernel's
// mountinfo) and what the administrator named in fstab, mounted or not.
namespace MountTable {

// The mount points of /proc/self/mountinfo text (the fifth field of each line).
QStringList mountPointsFromMountInfo(QByteArrayView mountInfo);
// The mount points of fstab text (the second field), "noauto" ones included; swap
// and other entries that name no folder are left out.
QStringList mountPointsFromFstab(QByteArrayView fstab);

// The system's own tables. Both are read whole in one go; an unreadable table gives
// nothing (and the mounted list then comes from QStorageInfo).
QStringList currentMountPoints();
QStringList fstabMountPoints(const QString &fstabPath = QStringLiteral("/etc/fstab"));

} // namespace MountTable
