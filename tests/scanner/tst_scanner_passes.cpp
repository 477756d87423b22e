#include "ExtensionTable.h"
#include "FileNameRules.h"
#include "PassMatcher.h"
#include "ScanPasses.h"

#include <QTest>

Q_DECLARE_METATYPE(ScanPass)
Q_DECLARE_METATYPE(std::vector<ScanPass>)

namespace {

std::vector<int> passesFindingByRule(const std::vector<ScanPass> &passes, const QString &fileName)
{
    std::vector<int> found;
    const QStringView extension = FileNameRules::extensionOf(QStringView(fileName));
    for (int i = 0; i < int(passes.size()); ++i) {
        if (ScanPasses::matches(passes[std::size_t(i)], extension))
            found.push_back(i);
    }
    return found;
}

const QStringList kSampleNames = {
    "Beach.JPG",
    "beach.jpg",
    "archive.tar.gz",
    "archive.TAR",
    ".profile",
    "notes.",
    "README",
    "odd..",
    "song.Mp3",
    "song.mp3.bak",
    QString::fromUtf8("photo.ÉTÉ"),
    QString::fromUtf8("photo.été"),
    // The Kelvin sign folds to a plain "k".
    QString::fromUtf8("unit.\u212A"),
    "unit.k",
    "x.jpeg",
    "x.jpe",
};

} // namespace

class TestScanPasses : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void matching_data();
    void matching();
    void matcherAgreesWithTheRule_data();
    void matcherAgreesWithTheRule();
    void mediaScanPasses_data();
    void mediaScanPasses();
    void allFilesScanIsOnePassSkippingNamesWithoutExtension();
};

void TestScanPasses::matching_data()
{
    QTest::addColumn<QString>("wanted");
    QTest::addColumn<bool>("skipFilesWithoutExtension");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("found");

    QTest::newRow("extension differs only in case") << "jpg" << false << "Beach.JPG" << true;
    QTest::newRow("wanted extension in upper case") << "JPG" << false << "beach.jpg" << true;
    QTest::newRow("last extension of several") << "gz" << false << "archive.tar.gz" << true;
    QTest::newRow("inner extension does not count") << "tar" << false << "archive.tar.gz" << false;
    QTest::newRow("leading dot is an extension") << "profile" << false << ".profile" << true;
    QTest::newRow("trailing dot matches the empty extension") << "" << false << "notes." << true;
    QTest::newRow("no dot matches the empty extension") << "" << false << "README" << true;
    QTest::newRow("empty extension skipped in all-files mode") << "" << true << "README" << false;
    QTest::newRow("star finds a name with extension") << "*" << true << "a.b" << true;
    QTest::newRow("star in all-files mode skips a name without dot") << "*" << true << "README" << false;
    QTest::newRow("star in all-files mode skips a trailing dot") << "*" << true << "notes." << false;
    QTest::newRow("star outside all-files mode finds every file") << "*" << false << "README" << true;
    QTest::newRow("wanted with a dot never matches") << ".jpg" << false << "a.jpg" << false;
    QTest::newRow("prefix is not enough") << "jpe" << false << "a.jpeg" << false;
    QTest::newRow("non-ASCII case folded") << QString::fromUtf8("été") << false << QString::fromUtf8("x.ÉTÉ") << true;
}

void TestScanPasses::matching()
{
    QFETCH(QString, wanted);
    QFETCH(bool, skipFilesWithoutExtension);
    QFETCH(QString, fileName);
    const ScanPass pass{wanted, skipFilesWithoutExtension};
    QTEST(ScanPasses::matches(pass, FileNameRules::extensionOf(QStringView(fileName))), "found");
}

void TestScanPasses::matcherAgreesWithTheRule_data()
{
    QTest::addColumn<std::vector<ScanPass>>("passes");

    QTest::newRow("built-in style") << std::vector<ScanPass>{{"jpg", false}, {"png", false}, {"mp3", false}};
    QTest::newRow("same extension twice, different case")
        << std::vector<ScanPass>{{"jpg", false}, {"png", false}, {"JPG", false}};
    QTest::newRow("all files") << std::vector<ScanPass>{{"*", true}};
    QTest::newRow("star first, then more") << std::vector<ScanPass>{{"jpg", true}, {"*", true}, {"png", false}};
    QTest::newRow("star not first") << std::vector<ScanPass>{{"png", false}, {"*", false}, {"", false}};
    QTest::newRow("empty wanted extension, both modes") << std::vector<ScanPass>{{"", true}, {"", false}};
    QTest::newRow("non-ASCII and folding")
        << std::vector<ScanPass>{{QString::fromUtf8("ÉTÉ"), false}, {"K", false}, {"TAR", false}};
    QTest::newRow("no passes") << std::vector<ScanPass>{};
}

void TestScanPasses::matcherAgreesWithTheRule()
{
    QFETCH(std::vector<ScanPass>, passes);
    PassMatcher matcher(passes);
    for (const QString &name : kSampleNames) {
        const std::string bytes = name.toStdString();
        const std::vector<int> &byMatcher = matcher.passesFor(FileNameRules::extensionOf(std::string_view(bytes)));
        QVERIFY2(byMatcher == passesFindingByRule(passes, name), qPrintable(name));
    }
}

void TestScanPasses::mediaScanPasses_data()
{
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<QStringList>("additional");
    QTest::addColumn<std::vector<ScanPass>>("expected");

    QTest::newRow("checked boxes run in fixed order")
        << QStringList{"wmv", "jpg", "avi"} << QStringList{}
        << std::vector<ScanPass>{{"avi", false}, {"jpg", false}, {"wmv", false}};
    QTest::newRow("additional extensions follow, as typed")
        << QStringList{"png"} << QStringList{"INI", "png"}
        << std::vector<ScanPass>{{"png", false}, {"INI", false}, {"png", false}};
    QTest::newRow("star in entry one: only its own pass and the boxes see it")
        << QStringList{"jpg"} << QStringList{"*", "png"}
        << std::vector<ScanPass>{{"jpg", true}, {"*", true}, {"png", false}};
    QTest::newRow("star further down is an ordinary every-file pass")
        << QStringList{} << QStringList{"png", "*"} << std::vector<ScanPass>{{"png", false}, {"*", false}};
    QTest::newRow("nothing checked, nothing added") << QStringList{} << QStringList{} << std::vector<ScanPass>{};
}

void TestScanPasses::mediaScanPasses()
{
    QFETCH(QStringList, checked);
    QFETCH(QStringList, additional);
    ExtensionTable table;
    table.setExtensions(additional);
    QTEST(ScanPasses::forMediaScan(checked, table), "expected");
}

void TestScanPasses::allFilesScanIsOnePassSkippingNamesWithoutExtension()
{
    QCOMPARE(ScanPasses::forAllFilesScan(), (std::vector<ScanPass>{{"*", true}}));
    const QStringList all = ScanPasses::builtInExtensions();
    QCOMPARE(all.size(), 17);
    QStringList sorted = all;
    sorted.sort();
    QCOMPARE(all, sorted);
    ExtensionTable empty;
    QCOMPARE(int(ScanPasses::forMediaScan(all, empty).size()), 17);
}

QTEST_GUILESS_MAIN(TestScanPasses)
#include "tst_scanner_passes.moc"
