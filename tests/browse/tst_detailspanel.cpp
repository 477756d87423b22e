#include "BrowseTestSupport.h"
#include "DetailsPanel.h"
#include "DisplayText.h"
#include "FileIconCache.h"
#include "FileListModel.h"
#include "FileTypeCache.h"
#include "PreviewBox.h"
#include "PreviewFit.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestDetailsPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void shortenLabel_data();
    void shortenLabel();
    void generalDateLeavesOutMidnight();
    void previewFit_data();
    void previewFit();

    void captionsAndNames();
    void fillLabelsShowsTheFile();
    void unreadableFileClearsValuesButShowsKeywords();
    void noCurrentRowKeepsValuesAndClearsPreview();
    void fillLabelsFromModelRow();
    void largePictureIsDecodedScaledAndFitted();
    void smallPictureIsNotEnlarged();
    void nonPictureClearsPreview();
    void exifOrientationTurnsThePicture();
    void largeTurnedPictureIsDecodedToTheBox();
    void buttonsAnnounceThemselves();

private:
    QString label(const char *name) const
    {
        const auto *found = m_panel->findChild<QLabel *>(QString::fromLatin1(name));
        return found ? found->text() : QStringLiteral("<missing %1>").arg(QString::fromLatin1(name));
    }
    QString picture(const QString &name, const QSize &size, const char *format = "PNG");
    QString turnedJpeg(const QString &name, const QSize &stored);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FileTypeCache> m_types;
    std::unique_ptr<DetailsPanel> m_panel;
};

namespace {

const char *const kValueLabels[] = {"lblDataName",    "lblDataPath",         "lblDataSize",        "lblDataType",
                                    "lblDataCreated", "lblDataLastModified", "lblDataLastAccessed"};

} // namespace

void TestDetailsPanel::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_types = std::make_unique<FileTypeCache>();
    m_panel = std::make_unique<DetailsPanel>(*m_types);
}

QString TestDetailsPanel::picture(const QString &name, const QSize &size, const char *format)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    const QString path = m_dir->filePath(name);
    return image.save(path, format) ? path : QString();
}

void TestDetailsPanel::shortenLabel_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    const QString twentyFive = QStringLiteral("abcdefghijklmnopqrstuvwxy");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("short") << QStringLiteral("a.jpg") << QStringLiteral("a.jpg");
    QTest::newRow("25 characters stay whole") << twentyFive << twentyFive;
    QTest::newRow("26 characters are cut") << twentyFive + QStringLiteral("z") << twentyFive + QStringLiteral("...");
    QTest::newRow("long") << twentyFive + QStringLiteral("0123456789") << twentyFive + QStringLiteral("...");
    const QString clef = QStringLiteral("\U0001D11E"); // one character, two UTF-16 units
    QTest::newRow("pair counts as one character") << clef.repeated(25) << clef.repeated(25);
    QTest::newRow("pair never cut") << clef.repeated(26) << clef.repeated(25) + QStringLiteral("...");
}

void TestDetailsPanel::shortenLabel()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(ShortenLabel(text), shown);
}

void TestDetailsPanel::generalDateLeavesOutMidnight()
{
    const QLocale locale = QLocale::system();
    const QDateTime midnight(QDate(2004, 1, 10), QTime(0, 0));
    const QDateTime evening(QDate(2004, 1, 10), QTime(18, 45));
    QCOMPARE(GeneralDate(midnight), locale.toString(midnight.date(), QLocale::ShortFormat));
    QCOMPARE(GeneralDate(evening), locale.toString(evening, QLocale::ShortFormat));
    QCOMPARE(GeneralDate(QDateTime()), QString());
}

void TestDetailsPanel::previewFit_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<QRect>("placed");
    const QSize box(150, 120);
    QTest::newRow("landscape") << QSize(2000, 1000) << box << QRect(0, 22, 150, 75);
    QTest::newRow("portrait") << QSize(1000, 2000) << box << QRect(45, 0, 60, 120);
    QTest::newRow("square") << QSize(3000, 3000) << box << QRect(15, 0, 120, 120);
    QTest::newRow("smaller than the box") << QSize(100, 80) << box << QRect(25, 20, 100, 80);
    QTest::newRow("exactly the box") << box << box << QRect(QPoint(0, 0), box);
    QTest::newRow("too wide only") << QSize(300, 60) << box << QRect(0, 45, 150, 30);
    QTest::newRow("hair-thin") << QSize(10000, 1) << box << QRect(0, 59, 150, 1);
    QTest::newRow("zero size") << QSize(0, 0) << box << QRect();
    QTest::newRow("zero height") << QSize(100, 0) << box << QRect();
    QTest::newRow("zero box") << QSize(100, 80) << QSize(0, 0) << QRect();
}

void TestDetailsPanel::previewFit()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, box);
    QFETCH(QRect, placed);
    QCOMPARE(fitPreviewRect(picture, box), placed);
}

void TestDetailsPanel::captionsAndNames()
{
    QCOMPARE(m_panel->title(), QStringLiteral("Properties"));
    QCOMPARE(m_panel->objectName(), QStringLiteral("fmeProperties"));
    QStringList captions;
    for (const QLabel *caption : m_panel->findChildren<QLabel *>()) {
        if (caption->objectName().isEmpty())
            captions.append(caption->text());
    }
    for (const char *expected : {"Name:", "Path:", "Size:", "Type:", "Created:", "Last Modified:", "Last Accessed:",
                                 "Type keywords in the space provided:"})
        QVERIFY2(captions.contains(QString::fromLatin1(expected)), expected);
    for (const char *name : kValueLabels)
        QVERIFY2(m_panel->findChild<QLabel *>(QString::fromLatin1(name)), name);
    QVERIFY(m_panel->findChild<QLineEdit *>(QStringLiteral("txtKeywords")));
    QCOMPARE(m_panel->findChild<QPushButton *>(QStringLiteral("cmdUpdate"))->text(), QStringLiteral("Update Keywords"));
    QCOMPARE(m_panel->findChild<QPushButton *>(QStringLiteral("cmdExecute"))->text(), QStringLiteral("Execute"));
    QVERIFY(m_panel->findChild<PreviewBox *>(QStringLiteral("picPreview")));
}

void TestDetailsPanel::fillLabelsShowsTheFile()
{
    const QString name = QStringLiteral("holiday picture of the beach.txt");
    const QString path = TestFiles::createFile(m_dir->filePath(name), QByteArray(1234, 'x'));
    // Taken before the panel reads the file for a preview, which may move the access time.
    const QFileInfo info(path);
    const QString lastRead = GeneralDate(info.lastRead());
    m_panel->FillLabels(path, QStringLiteral("beach sunset"));
    QCOMPARE(label("lblDataName"), QStringLiteral("holiday picture of the be..."));
    QCOMPARE(label("lblDataPath"), ShortenLabel(info.absoluteFilePath()));
    QCOMPARE(label("lblDataSize"), QStringLiteral("1234 bytes"));
    QCOMPARE(label("lblDataType"), ShortenLabel(m_types->description(QStringLiteral("txt"))));
    QVERIFY(!label("lblDataType").isEmpty());
    QCOMPARE(label("lblDataLastModified"), GeneralDate(info.lastModified()));
    QCOMPARE(label("lblDataLastAccessed"), lastRead);
    QVERIFY(!label("lblDataCreated").isEmpty());
    QCOMPARE(m_panel->shownPath(), info.absoluteFilePath());
    QCOMPARE(m_panel->keywordsText(), QStringLiteral("beach sunset"));
}

void TestDetailsPanel::unreadableFileClearsValuesButShowsKeywords()
{
    m_panel->FillLabels(picture(QStringLiteral("shown.png"), QSize(40, 30)), QStringLiteral("old"));
    QVERIFY(m_panel->preview()->hasPicture());
    QVERIFY(!m_panel->shownPath().isEmpty());

    m_panel->FillLabels(m_dir->filePath(QStringLiteral("gone.png")), QStringLiteral("kept keywords"));
    for (const char *name : kValueLabels)
        QVERIFY2(label(name).isEmpty(), name);
    QCOMPARE(m_panel->shownPath(), QString());
    QCOMPARE(m_panel->keywordsText(), QStringLiteral("kept keywords"));
    QVERIFY(!m_panel->preview()->hasPicture());
}

void TestDetailsPanel::noCurrentRowKeepsValuesAndClearsPreview()
{
    const QString path = picture(QStringLiteral("shown.png"), QSize(40, 30));
    m_panel->FillLabels(path, QStringLiteral("kw"));
    const QString size = label("lblDataSize");
    QVERIFY(size.endsWith(QStringLiteral(" bytes")));

    m_panel->FillLabels(QModelIndex());
    QCOMPARE(label("lblDataSize"), size);
    QCOMPARE(label("lblDataName"), QStringLiteral("shown.png"));
    QCOMPARE(m_panel->shownPath(), QFileInfo(path).absoluteFilePath());
    QCOMPARE(m_panel->keywordsText(), QStringLiteral("kw"));
    QVERIFY(!m_panel->preview()->hasPicture());
}

void TestDetailsPanel::fillLabelsFromModelRow()
{
    BrowseTest::CountingIconSource source;
    FileIconCache icons(source.source());
    FileListModel model(icons, *m_types);
    model.setBackgroundFillEnabled(false);
    const QString path = TestFiles::createFile(m_dir->filePath(QStringLiteral("song.mp3")), "abc");
    model.appendRow(makeFileListRow(path, QStringLiteral("live")));
    m_panel->FillLabels(model.index(0, KeywordsColumn));
    QCOMPARE(label("lblDataName"), QStringLiteral("song.mp3"));
    QCOMPARE(label("lblDataSize"), QStringLiteral("3 bytes"));
    QCOMPARE(m_panel->keywordsText(), QStringLiteral("live"));
    QVERIFY(!m_panel->preview()->hasPicture());
}

void TestDetailsPanel::largePictureIsDecodedScaledAndFitted()
{
    PreviewBox *box = m_panel->preview();
    const QSize boxSize = box->size();
    QVERIFY(boxSize.width() > 10 && boxSize.height() > 10);
    QVERIFY(box->loadPicture(picture(QStringLiteral("wide.png"), QSize(boxSize.width() * 8, boxSize.height() * 2))));
    QCOMPARE(box->naturalSize(), QSize(boxSize.width() * 8, boxSize.height() * 2));
    QVERIFY(box->picture().width() <= boxSize.width() * box->devicePixelRatioF());
    const QRect placed = box->pictureRect();
    QCOMPARE(placed, fitPreviewRect(box->naturalSize(), boxSize));
    QCOMPARE(placed.width(), boxSize.width());
    QVERIFY(placed.top() > 0); // centred vertically
}

void TestDetailsPanel::smallPictureIsNotEnlarged()
{
    PreviewBox *box = m_panel->preview();
    QVERIFY(box->loadPicture(picture(QStringLiteral("small.png"), QSize(20, 10))));
    QCOMPARE(box->picture().size(), QSize(20, 10));
    QCOMPARE(box->pictureRect().size(), QSize(20, 10));
    QCOMPARE(box->pictureRect().topLeft(), QPoint((box->width() - 20) / 2, (box->height() - 10) / 2));
}

void TestDetailsPanel::nonPictureClearsPreview()
{
    PreviewBox *box = m_panel->preview();
    QVERIFY(box->loadPicture(picture(QStringLiteral("small.png"), QSize(20, 10))));
    const QString text = TestFiles::createFile(m_dir->filePath(QStringLiteral("notes.jpg")), "not a picture at all");
    QVERIFY(!box->loadPicture(text));
    QVERIFY(!box->hasPicture());
    QVERIFY(box->pictureRect().isEmpty());
}

QString TestDetailsPanel::turnedJpeg(const QString &name, const QSize &stored)
{
    // A JPEG whose EXIF block says "turn 90 degrees clockwise" (orientation 6).
    QImage image(stored, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPEG"))
        return {};
    const QByteArray exif = QByteArray::fromHex("FFE10022" "457869660000" "4D4D002A00000008" "0001"
                                                "011200030000000100060000" "00000000");
    jpeg.insert(2, exif); // right behind the start-of-image marker
    return TestFiles::createFile(m_dir->filePath(name), jpeg);
}

void TestDetailsPanel::exifOrientationTurnsThePicture()
{
    const QString path = turnedJpeg(QStringLiteral("turned.jpg"), QSize(40, 20));
    QCOMPARE(QImageReader(path).transformation(), QImageIOHandler::TransformationRotate90);

    PreviewBox *box = m_panel->preview();
    QVERIFY(box->loadPicture(path));
    QCOMPARE(box->naturalSize(), QSize(20, 40));
    QCOMPARE(box->picture().size(), QSize(20, 40));
    QCOMPARE(box->pictureRect().size(), QSize(20, 40));
}

void TestDetailsPanel::largeTurnedPictureIsDecodedToTheBox()
{
    PreviewBox *box = m_panel->preview();
    const QSize stored(box->height() * 8, box->width() * 2); // turned, it is tall and narrow
    QVERIFY(box->loadPicture(turnedJpeg(QStringLiteral("tall.jpg"), stored)));
    QCOMPARE(box->naturalSize(), stored.transposed());
    const QRect placed = box->pictureRect();
    QCOMPARE(placed, fitPreviewRect(stored.transposed(), box->size()));
    QCOMPARE(placed.height(), box->height());
    QVERIFY(placed.width() < placed.height());
    // Decoded at the size shown, already upright.
    QVERIFY(box->picture().height() <= box->height() * box->devicePixelRatioF());
    QVERIFY(box->picture().width() < box->picture().height());
}

void TestDetailsPanel::buttonsAnnounceThemselves()
{
    QSignalSpy update(m_panel.get(), &DetailsPanel::updateKeywordsClicked);
    QSignalSpy execute(m_panel.get(), &DetailsPanel::executeClicked);
    m_panel->findChild<QPushButton *>(QStringLiteral("cmdUpdate"))->click();
    QCOMPARE(update.size(), 1);
    QCOMPARE(execute.size(), 0);
    m_panel->findChild<QPushButton *>(QStringLiteral("cmdExecute"))->click();
    QCOMPARE(execute.size(), 1);
}

QTEST_MAIN(TestDetailsPanel)
#include "tst_detailspanel.moc"
