#include "OfflineDrivesStatus.h"

#include <QTest>

class TestOfflineDrivesStatus : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void text_data();
    void text();
};

void TestOfflineDrivesStatus::text_data()
{
    QTest::addColumn<QList<OfflineVolumeFiles>>("volumes");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << QList<OfflineVolumeFiles>{} << "";
    QTest::newRow("one file") << QList<OfflineVolumeFiles>{{"/mnt/usb", 1}}
                              << "1 file is on a drive that is not connected: /mnt/usb";
    QTest::newRow("one drive") << QList<OfflineVolumeFiles>{{"/media/alice/Photos2020", 1234}}
                               << "1,234 files are on drives that are not connected: /media/alice/Photos2020";
    QTest::newRow("three drives") << QList<OfflineVolumeFiles>{{"/a", 1}, {"/b", 2}, {"/c", 3}}
                                  << "6 files are on drives that are not connected: /a, /b, /c";
    QTest::newRow("five drives") << QList<OfflineVolumeFiles>{{"/a", 1}, {"/b", 1}, {"/c", 1}, {"/d", 1}, {"/e", 1}}
                                 << "5 files are on drives that are not connected: /a, /b, /c and 2 more";
}

void TestOfflineDrivesStatus::text()
{
    QFETCH(QList<OfflineVolumeFiles>, volumes);
    QTEST(OfflineDrivesStatus::text(volumes), "text");
}

QTEST_MAIN(TestOfflineDrivesStatus)
#include "tst_offlinedrivesstatus.moc"
