#include "VolumeSystem.h"

#include "MountTable.h"

#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace {

bool isUserNameOnThisSystem(const QString &name)
{
    if (name.isEmpty())
        return false;
    if (name == qEnvironmentVariable("USER"))
        return true;
#ifdef Q_OS_UNIX
    const QByteArray utf8 = name.toUtf8();
    struct passwd entry {};
    struct passwd *found = nullptr;
    char buffer[4096];
    return getpwnam_r(utf8.constData(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr;
#else
    return false;
#endif
}

FolderContent contentOf(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.exists())
        return FolderContent::Absent;
    // Anything at the place that is not a folder holds something all the same: it is
    // no mount point waiting for its drive.
    if (!info.isDir() || info.isSymLink())
        return FolderContent::HoldsEntries;
    return QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)
        ? FolderContent::Empty
        : FolderContent::HoldsEntries;
}

} // namespace

VolumeSystem VolumeSystem::current()
{
    VolumeSystem system;
    system.mountedNow = MountTable::currentMountPoints();
    system.fstabMountPoints = MountTable::fstabMountPoints();
    system.isUserName = isUserNameOnThisSystem;
    system.folderContent = contentOf;
    return system;
}
