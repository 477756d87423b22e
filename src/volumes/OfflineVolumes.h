#pragma once

#include "VolumeSystem.h"

#include <QByteArrayView>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <QString>

// Tells, for a file that was not found, whether it sits on a drive that is not
// connected: below a folder drives are mounted on (a mount point of fstab, a
// removable-media place /media/USER/NAME, /run/media/USER/NAME, /media/NAME,
// /mnt/NAME, or a desktop network share /run/user/UID/gvfs/NAME) that has nothing
// mounted on it now and is absent or empty. A missing file below an ordinary folder
// that holds files is really gone.
//
// A snapshot of the system when made: each volume folder is decided once, on first
// asking, so that 300,000 files of one unplugged drive cost one look at its folder.
// Safe to ask from several threads.
class OfflineVolumes
{
public:
    explicit OfflineVolumes(VolumeSystem system = VolumeSystem::current());

    // The folder of the unplugged drive that holds the path, or an empty string when
    // the path is on no drive that is known to be unplugged.
    QString offlineVolumeOf(const QString &path) const;
    QString offlineVolumeOfUtf8(QByteArrayView path) const;

    // Whether the drive of this volume folder is still not connected.
    bool isOfflineVolume(const QString &volumeFolder) const { return isOffline(volumeFolder); }

    // The folder a drive holding the path would be mounted on: the deepest volume
    // folder strictly above it, or an empty string.
    QString volumeFolderOf(const QString &path) const;

private:
    bool isOffline(const QString &volumeFolder) const;
    bool isUserName(const QString &name) const;

    VolumeSystem m_system;
    QSet<QString> m_mounted;
    mutable QMutex m_mutex;
    mutable QHash<QString, bool> m_offlineByFolder;
    mutable QHash<QString, bool> m_userNames;
};
