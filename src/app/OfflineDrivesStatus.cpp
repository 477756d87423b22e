#include "OfflineDrivesStatus.h"

#include "ConnectedDrives.h"

#include <QLocale>

namespace {

constexpr int kVolumesNamed = 3;

} // namespace

OfflineDrivesStatus::OfflineDrivesStatus(QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("sbOfflineDrives"));
    setTextFormat(Qt::PlainText);
    hide();
}

QString OfflineDrivesStatus::text(const QList<OfflineVolumeFiles> &volumes)
{
    qint64 files = 0;
    QStringList named;
    for (const OfflineVolumeFiles &volume : volumes) {
        files += volume.files;
        if (named.size() < kVolumesNamed)
            named.append(volume.volumeFolder);
    }
    if (files == 0)
        return {};
    QString where = named.join(QStringLiteral(", "));
    if (volumes.size() > kVolumesNamed)
        where += QStringLiteral(" and %1 more").arg(volumes.size() - kVolumesNamed);
    // Grouped as the example the users were shown: "1,234".
    const QString count = QLocale(QLocale::English, QLocale::UnitedStates).toString(files);
    if (files == 1)
        return QStringLiteral("1 file is on a drive that is not connected: %1").arg(where);
    return QStringLiteral("%1 files are on drives that are not connected: %2").arg(count, where);
}

void OfflineDrivesStatus::setOfflineVolumes(const QList<OfflineVolumeFiles> &volumes)
{
    m_volumes = volumes;
    present(m_volumes);
}

void OfflineDrivesStatus::recheck()
{
    if (m_volumes.isEmpty())
        return;
    const std::shared_ptr<const OfflineVolumes> drives = ConnectedDrives::now();
    const auto back = [&drives](const OfflineVolumeFiles &volume) { return !drives->isOfflineVolume(volume.volumeFolder); };
    if (m_volumes.removeIf(back) > 0)
        present(m_volumes);
}

void OfflineDrivesStatus::present(const QList<OfflineVolumeFiles> &volumes)
{
    const QString message = text(volumes);
    setText(message);
    setToolTip(message);
    setVisible(!message.isEmpty());
}
