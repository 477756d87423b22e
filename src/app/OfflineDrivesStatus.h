#pragma once

#include "OpenFileList.h"

#include <QLabel>

// The status bar's word on files kept from drives that are not connected, so that a
// user who wonders where the pictures went knows which drive to plug in. Hidden
// while there are none; a drive that comes back leaves it at the next listing or load.
class OfflineDrivesStatus : public QLabel
{
    Q_OBJECT

public:
    explicit OfflineDrivesStatus(QWidget *parent = nullptr);

    void setOfflineVolumes(const QList<OfflineVolumeFiles> &volumes);
    // Looks at the drives again and forgets those that are connected now.
    void recheck();

    // "1,234 files are on drives that are not connected: /media/alice/Photos2020".
    static QString text(const QList<OfflineVolumeFiles> &volumes);

private:
    void present(const QList<OfflineVolumeFiles> &volumes);

    QList<OfflineVolumeFiles> m_volumes;
};
