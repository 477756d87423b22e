#include "MovedFileMatcher.h"

#include <QTest>

#include <algorithm>

namespace {

// What the matcher makes of the missing paths when a walk reports the found ones in
// the given order; "" for a path left missing.
QStringList newPaths(const QStringList &missing, const QStringList &found, int *ambiguous)
{
    MovedFileMatcher matcher(missing);
    for (const QString &path : found) {
        const QByteArray bytes = path.toUtf8();
        const std::string_view view(bytes.constData(), std::size_t(bytes.size()));
        const std::size_t separator = view.rfind('/');
        const std::string_view name = view.substr(separator + 1);
        if (matcher.isWanted(name))
            matcher.addFoundFile(view.substr(0, separator), name);
    }
    const RelocationResult result = matcher.finish();
    QStringList paths;
    for (const std::optional<QString> &path : result.newPaths)
        paths.append(path.value_or(QString()));
    *ambiguous = result.ambiguousCount;
    if (result.foundCount != int(std::count_if(paths.begin(), paths.end(), [](const QString &p) { return !p.isEmpty(); })))
        return {QStringLiteral("found count off")};
    return paths;
}

} // namespace

class TestMovedFileMatcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void match_data()
    {
        QTest::addColumn<QStringList>("missing");
        QTest::addColumn<QStringList>("found");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("ambiguous");

        QTest::newRow("the longest run of trailing folders wins")
            << QStringList{"/old/Trip/2019/x.jpg"}
            << QStringList{"/new/Archive/Trip/2020/x.jpg", "/new/Archive/Trip/2019/x.jpg"}
            << QStringList{"/new/Archive/Trip/2019/x.jpg"} << 0;
        QTest::newRow("the one file of the name, wherever it is")
            << QStringList{"/old/Photos/x.jpg"} << QStringList{"/new/y/x.jpg", "/new/y/z.jpg"}
            << QStringList{"/new/y/x.jpg"} << 0;
        QTest::newRow("a tie is not guessed")
            << QStringList{"/old/a/x.jpg"} << QStringList{"/new/b/x.jpg", "/new/c/x.jpg"} << QStringList{""} << 1;
        QTest::newRow("a tie for the best run is not guessed")
            << QStringList{"/old/T/2019/x.jpg"}
            << QStringList{"/n/A/2019/x.jpg", "/n/B/2019/x.jpg", "/n/T/2020/x.jpg"} << QStringList{""} << 1;
        QTest::newRow("exact case before a closer file in another case")
            << QStringList{"/old/a/IMG.jpg"} << QStringList{"/new/a/img.jpg", "/new/b/IMG.jpg"}
            << QStringList{"/new/b/IMG.jpg"} << 0;
        QTest::newRow("another case when it is the one file")
            << QStringList{"/old/a/IMG.JPG"} << QStringList{"/new/q/img.jpg"} << QStringList{"/new/q/img.jpg"} << 0;
        QTest::newRow("another case beyond ASCII")
            << QStringList{QStringLiteral("/old/Ärger.JPG")} << QStringList{QStringLiteral("/new/ärger.jpg")}
            << QStringList{QStringLiteral("/new/ärger.jpg")} << 0;
        QTest::newRow("two files in other cases are not guessed")
            << QStringList{"/old/a/IMG.JPG"} << QStringList{"/new/a/img.jpg", "/new/b/Img.jpg"} << QStringList{""}
            << 1;
        QTest::newRow("an exact name is matched before another case")
            << QStringList{"/old/a/x.jpg", "/old/b/X.jpg"} << QStringList{"/new/b/x.jpg"}
            << QStringList{"/new/b/x.jpg", ""} << 0;
        QTest::newRow("namesakes each get their own")
            << QStringList{"/old/a/x.jpg", "/old/b/x.jpg"} << QStringList{"/new/b/x.jpg", "/new/a/x.jpg"}
            << QStringList{"/new/a/x.jpg", "/new/b/x.jpg"} << 0;
        QTest::newRow("a file taken by a closer record leaves the other one")
            << QStringList{"/old/a/x.jpg", "/old/b/x.jpg"} << QStringList{"/new/a/x.jpg", "/new/c/x.jpg"}
            << QStringList{"/new/a/x.jpg", "/new/c/x.jpg"} << 0;
        QTest::newRow("the closer of two records takes the one file")
            << QStringList{"/old/T/2019/x.jpg", "/old/U/2019/x.jpg"} << QStringList{"/new/T/2019/x.jpg"}
            << QStringList{"/new/T/2019/x.jpg", ""} << 0;
        QTest::newRow("two records as close to the one file")
            << QStringList{"/p/A/x.jpg", "/q/A/x.jpg"} << QStringList{"/new/A/x.jpg"} << QStringList{"", ""} << 2;
        QTest::newRow("files of a tie are not handed to a farther record")
            << QStringList{"/old/T/2019/x.jpg", "/old/Q/x.jpg"}
            << QStringList{"/n/A/T/2019/x.jpg", "/n/B/T/2019/x.jpg", "/n/C/x.jpg"} << QStringList{"", "/n/C/x.jpg"}
            << 1;
        QTest::newRow("a cover in every album")
            << QStringList{"/m/A/One/cover.jpg", "/m/B/One/cover.jpg", "/m/B/Two/cover.jpg"}
            << QStringList{"/n/m/B/Two/cover.jpg", "/n/m/A/One/cover.jpg", "/n/m/B/One/cover.jpg"}
            << QStringList{"/n/m/A/One/cover.jpg", "/n/m/B/One/cover.jpg", "/n/m/B/Two/cover.jpg"} << 0;
        QTest::newRow("a name found nowhere stays missing")
            << QStringList{"/old/a/y.jpg"} << QStringList{"/new/a/x.jpg", "/new/a/y.jpeg"} << QStringList{""} << 0;
        QTest::newRow("a file filed twice is one file")
            << QStringList{"/old/a/x.jpg", "/old/b/z.jpg", "/old/a/x.jpg"} << QStringList{"/new/a/x.jpg"}
            << QStringList{"/new/a/x.jpg", "", "/new/a/x.jpg"} << 0;
    }

    void match()
    {
        QFETCH(QStringList, missing);
        QFETCH(QStringList, found);
        QFETCH(QStringList, expected);
        QFETCH(int, ambiguous);

        int ambiguousCount = -1;
        QCOMPARE(newPaths(missing, found, &ambiguousCount), expected);
        QCOMPARE(ambiguousCount, ambiguous);
        // The order the walk meets the files in changes nothing.
        std::reverse(found.begin(), found.end());
        QCOMPARE(newPaths(missing, found, &ambiguousCount), expected);
        QCOMPARE(ambiguousCount, ambiguous);
    }
};

QTEST_GUILESS_MAIN(TestMovedFileMatcher)
#include "tst_movedfilematcher.moc"
