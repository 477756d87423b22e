#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// What a folder holds, as far as deciding whether a drive is plugged in goes.
enum class FolderContent { Absent, Empty, HoldsEntries };

// Everything the offline rule asks of the system, in one place that tests can fill.
struct VolumeSystem {
    // Folders something is mounted on now.
    QStringList mountedNow;
    // Mount points named in fstab, mounted or not.
    QStringList fstabMountPoints;
    // Whether a name is a user's: "/media/NAME/..." is then that user's media folder
    // holding drives, not a drive of its own.
    std::function<bool(const QString &name)> isUserName;
    std::function<FolderContent(const QString &folder)> folderContent;

    // The system's tables and folders as they are now.
    static VolumeSystem current();
};
