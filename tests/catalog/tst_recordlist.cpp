#include "Catalog.h"
#include "CatalogEdits.h"
#include "FileRecord.h"
#include "RecordList.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

// The record list against a plain list of strings put through the same changes, at
// sizes that span many of its chunks, with the path lookup asked along the way.
class TestRecordList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void changesMatchAPlainList_data();
    void changesMatchAPlainList();
    void dropFollowsTheRecordByRecordRule();
};

namespace {

// Few distinct paths, so that most of them have several records.
QString randomRecord(QRandomGenerator &random)
{
    return MakeFileRecord(QStringLiteral("/m/%1/f%2.jpg").arg(random.bounded(40)).arg(random.bounded(300)),
                          random.bounded(1, 9), random.bounded(3) ? QString() : QStringLiteral("k%1").arg(random.bounded(9)));
}

std::vector<int> plainPositionsOf(const QStringList &plain, const QString &path)
{
    std::vector<int> positions;
    for (int i = 0; i < plain.size(); ++i) {
        if (recordPath(plain[i]) == path)
            positions.push_back(i);
    }
    return positions;
}

void compareWhole(const RecordList &records, const QStringList &plain)
{
    QCOMPARE(records.size(), plain.size());
    for (int i = 0; i < plain.size(); ++i) {
        QCOMPARE(records.at(i), plain[i]);
        QCOMPARE(records.categoryAt(i), recordCategoryIndex(plain[i]));
    }
}

} // namespace

void TestRecordList::changesMatchAPlainList_data()
{
    QTest::addColumn<int>("initial");
    QTest::addColumn<bool>("lookUpFirst"); // the path index then follows every change
    QTest::newRow("one chunk, looked up at the end") << 50 << false;
    QTest::newRow("one chunk, looked up throughout") << 50 << true;
    QTest::newRow("many chunks, looked up at the end") << 10000 << false;
    QTest::newRow("many chunks, looked up throughout") << 10000 << true;
}

void TestRecordList::changesMatchAPlainList()
{
    QFETCH(int, initial);
    QFETCH(bool, lookUpFirst);
    QRandomGenerator random(initial + lookUpFirst);
    RecordList records;
    QStringList plain;
    for (int i = 0; i < initial; ++i) {
        plain.append(randomRecord(random));
        records.append(plain.back());
    }
    if (lookUpFirst)
        records.positionsOfPaths({QStringLiteral("/nowhere")});

    for (int step = 0; step < 1500; ++step) {
        const int size = int(plain.size());
        switch (random.bounded(8)) {
        case 0: { // as the scanner and a drop insert
            const QString record = randomRecord(random);
            const int at = qMin(1, size);
            plain.insert(at, record);
            records.insert(at, record);
            break;
        }
        case 1: {
            const QString record = randomRecord(random);
            const int at = random.bounded(size + 1);
            plain.insert(at, record);
            records.insert(at, record);
            break;
        }
        case 2: {
            RecordList batch;
            if (step % 3 == 0)
                batch.hashPaths(); // as a scan's batch comes
            const int at = random.bounded(size + 1);
            const int count = random.bounded(1, step % 50 == 0 ? 14000 : 20);
            for (int k = 0; k < count; ++k) {
                const QString record = randomRecord(random);
                plain.insert(at + k, record);
                batch.append(record);
            }
            records.insert(at, std::move(batch));
            break;
        }
        case 3:
            if (size > 0) {
                const int at = random.bounded(size);
                plain.removeAt(at);
                records.removeAt(at);
            }
            break;
        case 4:
            if (size > 0) {
                const int at = random.bounded(size);
                if (random.bounded(2)) {
                    plain[at] = randomRecord(random);
                    records.replace(at, plain[at]);
                } else {
                    plain[at] = SetRecordCategory(plain[at], random.bounded(1, 9));
                    records.replaceKeepingPath(at, plain[at]);
                }
            }
            break;
        case 5: { // the records of a few paths go, as Remove Item takes them
            const QStringList paths{recordPath(randomRecord(random)), recordPath(randomRecord(random))};
            const std::vector<int> found = records.positionsOfPaths(paths);
            std::vector<int> expected = plainPositionsOf(plain, paths[0]);
            if (paths[1] != paths[0]) {
                const std::vector<int> more = plainPositionsOf(plain, paths[1]);
                expected.insert(expected.end(), more.begin(), more.end());
                std::sort(expected.begin(), expected.end());
            }
            QCOMPARE(found, expected);
            records.removePositions(found);
            for (auto it = found.rbegin(); it != found.rend(); ++it)
                plain.removeAt(*it);
            break;
        }
        case 6:
            if (step % 100 == 0 && size > 0) { // a sweep through marks, as a category deletion makes
                const int category = random.bounded(1, 9);
                for (int i = 0; i < size; ++i) {
                    if (records.categoryAt(i) == category)
                        records.setMarked(i, true);
                }
                records.removeMarked();
                plain.removeIf([&](const QString &record) { return recordCategoryIndex(record) == category; });
                QCOMPARE(records.markedCount(), 0);
            }
            break;
        default: {
            const QString path = recordPath(randomRecord(random));
            QCOMPARE(records.positionsOfPaths({path}), plainPositionsOf(plain, path));
            break;
        }
        }
    }
    compareWhole(records, plain);
    for (int folder = 0; folder < 40; folder += 7) {
        const QString path = QStringLiteral("/m/%1/f%2.jpg").arg(folder).arg(folder * 7);
        QCOMPARE(records.positionsOfPaths({path, path}), plainPositionsOf(plain, path));
    }
}

// A drop over a list that spans many chunks leaves the records exactly where walking
// the positions and moving each find to position 1 would.
void TestRecordList::dropFollowsTheRecordByRecordRule()
{
    QRandomGenerator random(7);
    Catalog catalog;
    for (int i = 0; i < 9; ++i)
        catalog.tree().addRoot(QStringLiteral("c%1").arg(i));
    QStringList plain;
    for (int i = 0; i < 20000; ++i) {
        plain.append(randomRecord(random));
        catalog.records().append(plain.back());
    }
    const QStringList dropped{QStringLiteral("/m/0/f1.jpg"), QStringLiteral("/m/3/f77.jpg"), recordPath(plain[0]),
                              recordPath(plain[19999])};
    for (int p = 0, n = int(plain.size()); p < n; ++p) {
        const ParsedRecord parsed = ParseFileRecord(plain[p]);
        if (!dropped.contains(parsed.path))
            continue;
        plain.insert(1, MakeFileRecord(parsed.path, 9, parsed.keywords));
        plain.removeAt(p == 0 ? 0 : p + 1);
    }
    CatalogEdits::MoveDroppedFiles(catalog, dropped, 9);
    compareWhole(catalog.records(), plain);
    QVERIFY(!catalog.FileListSaved());
}

QTEST_GUILESS_MAIN(TestRecordList)
#include "tst_recordlist.moc"
