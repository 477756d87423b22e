#include "DesktopThumbnailers.h"
#include "TestFiles.h"
#include "ThumbnailCacheDir.h"
#include "ThumbnailFile.h"
#include "ThumbnailJob.h"
#include "ThumbnailMaker.h"

#include <QDateTime>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using ThumbnailJob::Outcome;

Q_DECLARE_METATYPE(ThumbnailSize)
Q_DECLARE_METATYPE(ThumbnailJob::Outcome)

// The shared thumbnail cache: names, freshness, the files written, failures, and
// the desktop's thumbnailer programs.
class TestThumbnails : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cachePath_data();
    void cachePath();
    void freshOrStale_data();
    void freshOrStale();
    void writtenThumbnailReadBack();
    void failureNotedUntilFileChanges();
    void cacheFilesGetNoThumbnail();
    void oneBitPictureKeepsItsColour();
    void thumbnailerFileParsed();
    void thumbnailerExecExpanded_data();
    void thumbnailerExecExpanded();
    void thumbnailerRuns_data();
    void thumbnailerRuns();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    // A 200 by 100 picture with a known modification time.
    QString makePicture(const QString &name);
    static QImage mark(int width, int height, Qt::GlobalColor colour);
    static int mode(const QString &path);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ThumbnailCacheDir> m_cache;
    const QDateTime m_modified = QDateTime::fromSecsSinceEpoch(1700000000);
};

void TestThumbnails::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_cache = std::make_unique<ThumbnailCacheDir>(path(QStringLiteral("cache/thumbnails")));
}

QString TestThumbnails::makePicture(const QString &name)
{
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    const QString file = path(name);
    picture.save(file);
    QFile handle(file);
    handle.open(QIODevice::ReadWrite);
    handle.setFileTime(m_modified, QFileDevice::FileModificationTime);
    return file;
}

QImage TestThumbnails::mark(int width, int height, Qt::GlobalColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

int TestThumbnails::mode(const QString &path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 0777) : -1;
}

// MD5 sums by md5sum over the URIs, which GLib's "gio info" gives for these paths.
void TestThumbnails::cachePath_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("uri");
    QTest::addColumn<QString>("md5");
    QTest::newRow("the standard's example") << QStringLiteral("/home/jens/photos/me.png")
                                            << QByteArray("file:///home/jens/photos/me.png")
                                            << QStringLiteral("c6ee772d9e49320e97ec29a7eb5b1697");
    QTest::newRow("spaces") << QStringLiteral("/media/Pictures/Summer 2004/beach.jpg")
                            << QByteArray("file:///media/Pictures/Summer%202004/beach.jpg")
                            << QStringLiteral("5a2bd37bd75830ae7edabad33d22e02f");
    QTest::newRow("non-ASCII as UTF-8 bytes") << QStringLiteral("/home/zo\u00EB/Bilder/Stra\u00DFe.jpg")
                                              << QByteArray("file:///home/zo%C3%AB/Bilder/Stra%C3%9Fe.jpg")
                                              << QStringLiteral("7ed54242b0bef0a537aeb3d704e98665");
    QTest::newRow("reserved characters") << QStringLiteral("/tmp/a#b;c?d[e]%f\"g.jpg")
                                         << QByteArray("file:///tmp/a%23b%3Bc%3Fd%5Be%5D%25f%22g.jpg")
                                         << QStringLiteral("e0f7517fe9508913fb7536f49b8b2fb5");
    QTest::newRow("characters kept") << QStringLiteral("/tmp/keep!$&'()*+,=@~_-.jpg")
                                     << QByteArray("file:///tmp/keep!$&'()*+,=@~_-.jpg")
                                     << QStringLiteral("6238787da4b331f1ed0cbe306024feda");
}

void TestThumbnails::cachePath()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, uri);
    QFETCH(QString, md5);
    QCOMPARE(ThumbnailCacheDir::fileUri(file), uri);
    const ThumbnailCacheDir cache(QStringLiteral("/home/u/.cache/thumbnails"));
    QCOMPARE(cache.thumbnailPath(uri, ThumbnailSize::Normal), "/home/u/.cache/thumbnails/normal/" + md5 + ".png");
    QCOMPARE(cache.thumbnailPath(uri, ThumbnailSize::Large), "/home/u/.cache/thumbnails/large/" + md5 + ".png");
    QCOMPARE(cache.failurePath(uri), "/home/u/.cache/thumbnails/fail/corvanta-1.1.5/" + md5 + ".png");
}

// An entry waits in the cache (a small red mark, so that it is told from a thumbnail
// made of the blue picture); what does a normal-size request give?
void TestThumbnails::freshOrStale_data()
{
    QTest::addColumn<int>("entrySize"); // 0: no entry
    QTest::addColumn<int>("entryAge"); // seconds the entry's Thumb::MTime lags behind the file
    QTest::addColumn<bool>("entryOfOtherFile");
    QTest::addColumn<bool>("fileGone");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QSize>("size");
    QTest::newRow("fresh") << 128 << 0 << false << false << Outcome::Cached << QSize(100, 50);
    QTest::newRow("a second older: made again") << 128 << 1 << false << false << Outcome::Made << QSize(128, 64);
    QTest::newRow("another file's URI: made again") << 128 << 0 << true << false << Outcome::Made << QSize(128, 64);
    QTest::newRow("large serves normal, scaled") << 256 << 0 << false << false << Outcome::Cached << QSize(128, 64);
    QTest::newRow("file gone: cached shown") << 128 << 5 << false << true << Outcome::Cached << QSize(100, 50);
    QTest::newRow("file gone: none made") << 0 << 0 << false << true << Outcome::None << QSize(0, 0);
}

void TestThumbnails::freshOrStale()
{
    QFETCH(int, entrySize);
    QFETCH(int, entryAge);
    QFETCH(bool, entryOfOtherFile);
    QFETCH(bool, fileGone);
    QFETCH(Outcome, outcome);
    QFETCH(QSize, size);
    const QString picture = makePicture(QStringLiteral("holiday photo.png"));
    const QByteArray uri = ThumbnailCacheDir::fileUri(picture);
    if (entrySize > 0) {
        const ThumbnailKeys keys{entryOfOtherFile ? ThumbnailCacheDir::fileUri(path(QStringLiteral("other.png"))) : uri,
                                 m_modified.toSecsSinceEpoch() - entryAge, 1234, QStringLiteral("image/png")};
        const int side = entrySize == 128 ? 100 : 256;
        QVERIFY(ThumbnailFile::write(m_cache->thumbnailPath(uri, ThumbnailSize(entrySize)), mark(side, side / 2, Qt::red),
                                     keys));
    }
    if (fileGone)
        QVERIFY(QFile::remove(picture));

    const ThumbnailJob::Result result =
        ThumbnailJob::lookUpOrMakePicture(*m_cache, DesktopThumbnailers(), picture, ThumbnailSize::Normal);
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(result.image.size(), size);
    const QString written = m_cache->thumbnailPath(uri, ThumbnailSize::Normal);
    if (outcome == Outcome::Made) {
        QCOMPARE(result.image.pixelColor(10, 10), QColor(Qt::darkBlue));
        QVERIFY(ThumbnailFile::isFresh(QImage(written), uri, m_modified.toSecsSinceEpoch()));
    }
    if (fileGone) // nothing is written for a file that is not there
        QCOMPARE(QFileInfo::exists(written), entrySize == 128);
}

void TestThumbnails::writtenThumbnailReadBack()
{
    const QByteArray uri("file:///media/Camera/DSC%200001.JPG");
    const QString written = m_cache->thumbnailPath(uri, ThumbnailSize::Large);
    QVERIFY(ThumbnailFile::write(written, mark(256, 192, Qt::green),
                                 {uri, 1700000123, 4567890, QStringLiteral("image/jpeg")}));
    QImageReader reader(written);
    QCOMPARE(reader.format(), QByteArray("png"));
    const QImage back = reader.read();
    QCOMPARE(back.size(), QSize(256, 192));
    QCOMPARE(back.text(QStringLiteral("Thumb::URI")), QString::fromLatin1(uri));
    QCOMPARE(back.text(QStringLiteral("Thumb::MTime")), QStringLiteral("1700000123"));
    QCOMPARE(back.text(QStringLiteral("Thumb::Size")), QStringLiteral("4567890"));
    QCOMPARE(back.text(QStringLiteral("Thumb::Mime")), QStringLiteral("image/jpeg"));
    QCOMPARE(back.text(QStringLiteral("Software")), QStringLiteral("Corvanta 1.1.5"));
    QCOMPARE(mode(written), 0600);
    QCOMPARE(mode(m_cache->folder(ThumbnailSize::Large)), 0700);
    QCOMPARE(mode(m_cache->root()), 0700);
    // The temporary file it was written through is gone.
    QCOMPARE(QDir(m_cache->folder(ThumbnailSize::Large)).entryList(QDir::Files | QDir::Hidden),
             QStringList{ThumbnailCacheDir::fileName(uri)});
}

void TestThumbnails::failureNotedUntilFileChanges()
{
    const QString broken = TestFiles::createFile(path(QStringLiteral("broken.jpg")), "not a JPEG at all");
    {
        QFile handle(broken);
        QVERIFY(handle.open(QIODevice::ReadWrite));
        handle.setFileTime(m_modified, QFileDevice::FileModificationTime);
    }
    auto look = [&] {
        return ThumbnailJob::lookUpOrMakePicture(*m_cache, DesktopThumbnailers(), broken, ThumbnailSize::Normal).outcome;
    };
    QCOMPARE(look(), Outcome::None);
    QVERIFY(QFileInfo::exists(m_cache->failurePath(ThumbnailCacheDir::fileUri(broken))));

    // Mended with the same time stamp: the failure still holds.
    QVERIFY(mark(300, 200, Qt::yellow).save(broken, "jpg"));
    {
        QFile handle(broken);
        QVERIFY(handle.open(QIODevice::ReadWrite));
        handle.setFileTime(m_modified, QFileDevice::FileModificationTime);
        QCOMPARE(look(), Outcome::None);
        handle.setFileTime(m_modified.addSecs(60), QFileDevice::FileModificationTime);
    }
    QCOMPARE(look(), Outcome::Made);
}

void TestThumbnails::cacheFilesGetNoThumbnail()
{
    const QString inside = m_cache->folder(ThumbnailSize::Normal) + QStringLiteral("/picture.png");
    QVERIFY(QDir().mkpath(m_cache->folder(ThumbnailSize::Normal)));
    QVERIFY(mark(300, 300, Qt::blue).save(inside));
    const ThumbnailJob::Result result =
        ThumbnailJob::lookUpOrMakePicture(*m_cache, DesktopThumbnailers(), inside, ThumbnailSize::Normal);
    QCOMPARE(result.outcome, Outcome::None);
    QCOMPARE(QDir(m_cache->folder(ThumbnailSize::Normal)).count(), 3u); // ".", ".." and the picture
}

void TestThumbnails::oneBitPictureKeepsItsColour()
{
    // A one-colour picture saved with a colour table of one bit, as image tools write them.
    QImage picture(300, 400, QImage::Format_Mono);
    picture.setColorTable({qRgb(0, 128, 0), qRgb(255, 255, 255)});
    picture.fill(0);
    const QString path = m_dir->filePath(QStringLiteral("green.png"));
    QVERIFY(picture.save(path));
    const QImage thumbnail = ThumbnailMaker::fromPicture(path, 128);
    QCOMPARE(thumbnail.size(), QSize(96, 128));
    QCOMPARE(thumbnail.pixel(48, 64), qRgb(0, 128, 0));
}

void TestThumbnails::thumbnailerFileParsed()
{
    const std::optional<DesktopThumbnailer> parsed = DesktopThumbnailers::parse(
        "# video\n[Other Group]\nExec=wrong\n\n[Thumbnailer Entry]\nTryExec=ffmpegthumbnailer\n"
        "Exec=ffmpegthumbnailer -s %s -i %i -o %o -c png -f\nMimeType=video/mp4;video/x-matroska;\n");
    QVERIFY(parsed);
    QCOMPARE(parsed->tryExec, QStringLiteral("ffmpegthumbnailer"));
    QCOMPARE(parsed->exec, QStringLiteral("ffmpegthumbnailer -s %s -i %i -o %o -c png -f"));
    QCOMPARE(parsed->mimeTypes, (QStringList{"video/mp4", "video/x-matroska"}));
    QVERIFY(!DesktopThumbnailers::parse("[Thumbnailer Entry]\nMimeType=video/mp4;\n"));
}

void TestThumbnails::thumbnailerExecExpanded_data()
{
    QTest::addColumn<QString>("exec");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("ffmpegthumbnailer")
        << QStringLiteral("ffmpegthumbnailer -s %s -i %i -o %o -c png -f")
        << QStringList{"ffmpegthumbnailer", "-s", "256", "-i", "/media/My Videos/clip 1.mp4", "-o",
                       "/tmp/out dir/t.png", "-c", "png", "-f"};
    QTest::newRow("URI, quotes, per cent")
        << QStringLiteral("\"/opt/my tools/thumb\" --uri=%u \"say \\\"%s\\\"\" 100%% %x")
        << QStringList{"/opt/my tools/thumb", "--uri=file:///media/My%20Videos/clip%201.mp4", "say \"256\"", "100%",
                       ""};
}

void TestThumbnails::thumbnailerExecExpanded()
{
    QFETCH(QString, exec);
    QFETCH(QStringList, arguments);
    QCOMPARE(DesktopThumbnailers::expandExec(exec, QStringLiteral("/media/My Videos/clip 1.mp4"),
                                             "file:///media/My%20Videos/clip%201.mp4",
                                             QStringLiteral("/tmp/out dir/t.png"), 256),
             arguments);
}

// A thumbnailer installed in a data folder of its own: a script that writes a
// picture, or one that fails.
void TestThumbnails::thumbnailerRuns_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<Outcome>("outcome");
    QTest::newRow("writes a picture") << QByteArray("cp \"$1\" \"$2\"\n") << Outcome::Made;
    QTest::newRow("fails") << QByteArray("exit 1\n") << Outcome::None;
}

void TestThumbnails::thumbnailerRuns()
{
    QFETCH(QByteArray, script);
    QFETCH(Outcome, outcome);
    const QString frame = path(QStringLiteral("frame.png"));
    QVERIFY(mark(640, 360, Qt::cyan).save(frame));
    const QString program = TestFiles::createFile(path(QStringLiteral("bin/fake thumbnailer")),
                                                  "#!/bin/sh\nshift; set -- \"" + frame.toUtf8() + "\" \"$1\"\n" + script);
    QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    TestFiles::createFile(path(QStringLiteral("data/thumbnailers/fake.thumbnailer")),
                          "[Thumbnailer Entry]\nExec=\"" + program.toUtf8() + "\" %i %o %s\nMimeType=video/mp4;\n");
    const DesktopThumbnailers thumbnailers = DesktopThumbnailers::fromDataFolders({path(QStringLiteral("data"))});
    const QString video = TestFiles::createFile(path(QStringLiteral("clip.mp4")), "video");

    QCOMPARE(ThumbnailJob::lookUpOrMakePicture(*m_cache, thumbnailers, video, ThumbnailSize::Normal).outcome,
             Outcome::NeedsThumbnailer);
    std::atomic_bool stop{false};
    const ThumbnailJob::Result made =
        ThumbnailJob::makeWithThumbnailer(*m_cache, thumbnailers, video, ThumbnailSize::Normal, 10000, stop);
    QCOMPARE(made.outcome, outcome);
    const QByteArray uri = ThumbnailCacheDir::fileUri(video);
    if (outcome == Outcome::Made) {
        QCOMPARE(made.image.size(), QSize(128, 72));
        const QImage written(m_cache->thumbnailPath(uri, ThumbnailSize::Normal));
        QCOMPARE(written.text(QStringLiteral("Thumb::Mime")), QStringLiteral("video/mp4"));
    } else {
        QVERIFY(QFileInfo::exists(m_cache->failurePath(uri)));
    }
}

QTEST_GUILESS_MAIN(TestThumbnails)
#include "tst_thumbnails.moc"
