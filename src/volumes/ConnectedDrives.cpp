#include "ConnectedDrives.h"

#include <QMutex>
#include <QMutexLocker>

namespace {

QMutex systemMutex;
std::function<VolumeSystem()> systemForTesting;

} // namespace

namespace ConnectedDrives {

std::shared_ptr<const OfflineVolumes> now()
{
    {
        QMutexLocker lock(&systemMutex);
        if (systemForTesting)
            return std::make_shared<const OfflineVolumes>(systemForTesting());
    }
    return std::make_shared<const OfflineVolumes>(VolumeSystem::current());
}

void setSystemForTesting(std::function<VolumeSystem()> source)
{
    QMutexLocker lock(&systemMutex);
    systemForTesting = std::move(source);
}

} // namespace ConnectedDrives
