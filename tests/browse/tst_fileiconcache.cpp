#include "BrowseTestSupport.h"
#include "FileIconCache.h"
#include "FileTypeCache.h"

#include <QTemporaryDir>
#include <QTest>

class TestFileIconCache : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void extensionsShareOneEntryWhateverTheirCase();
    void programFilesGetAnEntryEachTime();
    void missingFileFailsWithoutTouchingCache();
    void findExtensionIcon_data();
    void findExtensionIcon();
    void filesWithoutExtensionShareAnEntry();
    void positionsOutsideTheCacheAreEmpty();
    void themeSourceFallsBackToGenericIcon();

private:
    QString file(const QString &name) { return TestFiles::createFile(m_dir.filePath(name), "data"); }

    QTemporaryDir m_dir;
};

void TestFileIconCache::init()
{
    QVERIFY(m_dir.isValid());
}

void TestFileIconCache::extensionsShareOneEntryWhateverTheirCase()
{
    BrowseTest::CountingIconSource source;
    FileIconCache cache(source.source());
    QCOMPARE(cache.GetFileIconIndex(file(QStringLiteral("photo.JPG"))), std::optional<int>(1));
    QCOMPARE(cache.GetFileIconIndex(file(QStringLiteral("other.jpg"))), std::optional<int>(1));
    QCOMPARE(cache.count(), 1);
    QCOMPARE(cache.tag(1), QStringLiteral("JPG"));
    QCOMPARE(source.calls, 1);
    QCOMPARE(cache.GetFileIconIndex(file(QStringLiteral("song.mp3"))), std::optional<int>(2));
    QCOMPARE(cache.tag(2), QStringLiteral("mp3"));
}

void TestFileIconCache::programFilesGetAnEntryEachTime()
{
    BrowseTest::CountingIconSource source;
    FileIconCache cache(source.source());
    const QString a = file(QStringLiteral("a.exe"));
    const QString b = file(QStringLiteral("b.EXE"));
    QCOMPARE(cache.GetFileIconIndex(a), std::optional<int>(1));
    QCOMPARE(cache.GetFileIconIndex(b), std::optional<int>(2));
    QCOMPARE(cache.GetFileIconIndex(a), std::optional<int>(3));
    QCOMPARE(cache.count(), 3);
    QCOMPARE(source.calls, 3);
    QCOMPARE(cache.tag(2), QStringLiteral("EXE"));
    QCOMPARE(cache.FindExtensionIcon(a), 0);
}

void TestFileIconCache::missingFileFailsWithoutTouchingCache()
{
    BrowseTest::CountingIconSource source;
    FileIconCache cache(source.source());
    QCOMPARE(cache.GetFileIconIndex(m_dir.filePath(QStringLiteral("gone.jpg"))), std::nullopt);
    QCOMPARE(cache.count(), 0);
    QCOMPARE(source.calls, 0);

    QCOMPARE(cache.GetFileIconIndex(file(QStringLiteral("here.jpg"))), std::optional<int>(1));
    QCOMPARE(cache.GetFileIconIndex(m_dir.filePath(QStringLiteral("gone.jpg"))), std::nullopt);
    QCOMPARE(cache.GetFileIconIndex(m_dir.filePath(QStringLiteral("gone.exe"))), std::nullopt);
    QCOMPARE(cache.count(), 1);
    QCOMPARE(source.calls, 1);
}

void TestFileIconCache::findExtensionIcon_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("position");
    QTest::newRow("same case") << QStringLiteral("/x/a.png") << 1;
    QTest::newRow("other case") << QStringLiteral("/x/a.PnG") << 1;
    QTest::newRow("second extension") << QStringLiteral("/x/a.avi") << 2;
    QTest::newRow("unknown extension") << QStringLiteral("/x/a.mov") << 0;
    QTest::newRow("dot in folder only") << QStringLiteral("/x.png/readme") << 0;
    QTest::newRow("program") << QStringLiteral("/x/setup.exe") << 0;
}

void TestFileIconCache::findExtensionIcon()
{
    QFETCH(QString, path);
    QFETCH(int, position);
    BrowseTest::CountingIconSource source;
    FileIconCache cache(source.source());
    QVERIFY(cache.GetFileIconIndex(file(QStringLiteral("one.png"))));
    QVERIFY(cache.GetFileIconIndex(file(QStringLiteral("two.avi"))));
    QVERIFY(cache.GetFileIconIndex(file(QStringLiteral("three.exe"))));
    QCOMPARE(cache.FindExtensionIcon(path), position);
}

void TestFileIconCache::filesWithoutExtensionShareAnEntry()
{
    BrowseTest::CountingIconSource source;
    FileIconCache cache(source.source());
    QCOMPARE(cache.GetFileIconIndex(file(QStringLiteral("README"))), std::optional<int>(1));
    QCOMPARE(cache.GetFileIconIndex(file(QStringLiteral("LICENSE"))), std::optional<int>(1));
    QCOMPARE(cache.tag(1), QString());
    QCOMPARE(source.calls, 1);
}

void TestFileIconCache::positionsOutsideTheCacheAreEmpty()
{
    BrowseTest::CountingIconSource source;
    FileIconCache cache(source.source());
    QVERIFY(cache.GetFileIconIndex(file(QStringLiteral("one.png"))));
    QVERIFY(!cache.icon(1).isNull());
    QVERIFY(cache.icon(0).isNull());
    QVERIFY(cache.icon(2).isNull());
    QCOMPARE(cache.tag(-1), QString());
}

void TestFileIconCache::themeSourceFallsBackToGenericIcon()
{
    FileTypeCache types;
    FileIconCache cache(types);
    const std::optional<int> position = cache.GetFileIconIndex(file(QStringLiteral("strange.zzqq")));
    QCOMPARE(position, std::optional<int>(1));
    QVERIFY(!cache.icon(1).isNull());
}

QTEST_MAIN(TestFileIconCache)
#include "tst_fileiconcache.moc"
