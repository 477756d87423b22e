#include "OfflineVolumes.h"

#include <QMutexLocker>

namespace {

QString withoutTrailingSlash(QString folder)
{
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

bool isStrictlyBelow(const QString &path, const QString &folder)
{
    return folder != QLatin1String("/") && path.size() > folder.size() + 1 && path.startsWith(folder)
        && path[folder.size()] == QLatin1Char('/');
}

} // namespace

OfflineVolumes::OfflineVolumes(VolumeSystem system)
    : m_system(std::move(system))
{
    for (QString &point : m_system.fstabMountPoints)
        point = withoutTrailingSlash(point);
    for (const QString &point : std::as_const(m_system.mountedNow))
        m_mounted.insert(withoutTrailingSlash(point));
}

QString OfflineVolumes::volumeFolderOf(const QString &path) const
{
    if (!path.startsWith(QLatin1Char('/')))
        return {};
    QString deepest;
    auto consider = [&](const QString &folder) {
        if (folder.size() > deepest.size() && isStrictlyBelow(path, folder))
            deepest = folder;
    };
    for (const QString &point : m_system.fstabMountPoints)
        consider(point);

    // The removable-media places; the file's own name is the last step and never a folder.
    const QList<QStringView> steps = QStringView(path).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const qsizetype count = steps.size();
    auto joined = [&](qsizetype stepCount) {
        QString folder;
        for (qsizetype i = 0; i < stepCount; ++i) {
            folder += QLatin1Char('/');
            folder += steps[i];
        }
        return folder;
    };
    if (count >= 3 && steps[0] == QLatin1String("media")) {
        if (isUserName(steps[1].toString()))
            consider(count >= 4 ? joined(3) : QString());
        else
            consider(joined(2));
    } else if (count >= 5 && steps[0] == QLatin1String("run") && steps[1] == QLatin1String("media")) {
        consider(joined(4));
    } else if (count >= 3 && steps[0] == QLatin1String("mnt")) {
        consider(joined(2));
    } else if (count >= 6 && steps[0] == QLatin1String("run") && steps[1] == QLatin1String("user")
               && steps[3] == QLatin1String("gvfs")) {
        consider(joined(5));
    }
    return deepest;
}

QString OfflineVolumes::offlineVolumeOf(const QString &path) const
{
    const QString folder = volumeFolderOf(path);
    return !folder.isEmpty() && isOffline(folder) ? folder : QString();
}

QString OfflineVolumes::offlineVolumeOfUtf8(QByteArrayView path) const
{
    return offlineVolumeOf(QString::fromUtf8(path));
}

bool OfflineVolumes::isUserName(const QString &name) const
{
    QMutexLocker lock(&m_mutex);
    auto known = m_userNames.constFind(name);
    if (known == m_userNames.cend())
        known = m_userNames.insert(name, m_system.isUserName && m_system.isUserName(name));
    return *known;
}

bool OfflineVolumes::isOffline(const QString &volumeFolder) const
{
    if (m_mounted.contains(volumeFolder))
        return false;
    QMutexLocker lock(&m_mutex);
    auto decided = m_offlineByFolder.constFind(volumeFolder);
    if (decided == m_offlineByFolder.cend()) {
        const FolderContent content =
            m_system.folderContent ? m_system.folderContent(volumeFolder) : FolderContent::HoldsEntries;
        decided = m_offlineByFolder.insert(volumeFolder, content != FolderContent::HoldsEntries);
    }
    return *decided;
}
