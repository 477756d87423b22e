#include "FileNameRules.h"

#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

class TestFileNameRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rowCells_data();
    void rowCells();
    void storableNames_data();
    void storableNames();
    void storablePaths_data();
    void storablePaths();
    void listingOrder();
};

void TestFileNameRules::rowCells_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("rowName");
    QTest::addColumn<QString>("rowExtension");

    QTest::newRow("upper-case name and extension") << "Beach.JPG"
                                                   << "JPG"
                                                   << "beach"
                                                   << "jpg";
    QTest::newRow("several dots: the last one counts") << "archive.tar.gz"
                                                       << "gz"
                                                       << "archive.tar"
                                                       << "gz";
    QTest::newRow("leading dot only") << ".profile"
                                      << "profile"
                                      << ""
                                      << "profile";
    QTest::newRow("trailing dot") << "notes."
                                  << ""
                                  << "notes"
                                  << "";
    QTest::newRow("no dot at all") << "README"
                                   << ""
                                   << "readme"
                                   << "";
    QTest::newRow("two trailing dots") << "odd.."
                                       << ""
                                       << "odd."
                                       << "";
    QTest::newRow("dot file with extension") << ".Hidden.PNG"
                                             << "PNG"
                                             << ".hidden"
                                             << "png";
    QTest::newRow("non-ASCII letters lower-cased")
        << QString::fromUtf8("ÉTÉ.Jpeg") << "Jpeg" << QString::fromUtf8("été") << "jpeg";
    QTest::newRow("spaces kept") << "My Song .Mp3"
                                 << "Mp3"
                                 << "my song "
                                 << "mp3";
}

void TestFileNameRules::rowCells()
{
    QFETCH(QString, fileName);
    QTEST(FileNameRules::extensionOf(QStringView(fileName)).toString(), "extension");
    QTEST(FileNameRules::rowName(fileName), "rowName");
    QTEST(FileNameRules::rowExtension(fileName), "rowExtension");
    // The byte form used while walking the disk must split the same way.
    const std::string bytes = fileName.toStdString();
    QCOMPARE(QString::fromStdString(std::string(FileNameRules::extensionOf(std::string_view(bytes)))),
             FileNameRules::extensionOf(QStringView(fileName)).toString());
}

void TestFileNameRules::storableNames_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("storable");

    QTest::newRow("plain") << QByteArray("beach.jpg") << true;
    QTest::newRow("UTF-8 letters") << QByteArray("\xc3\xa9t\xc3\xa9.jpg") << true;
    QTest::newRow("greater-than and comma are fine") << QByteArray("a>b,c.jpg") << true;
    QTest::newRow("double quote") << QByteArray("say \"cheese\".jpg") << false;
    QTest::newRow("line feed") << QByteArray("two\nlines.jpg") << false;
    QTest::newRow("carriage return") << QByteArray("two\rlines.jpg") << false;
    QTest::newRow("Latin-1 byte, not UTF-8") << QByteArray("caf\xe9.jpg") << false;
    QTest::newRow("cut-off UTF-8 sequence") << QByteArray("x\xc3.jpg") << false;
}

void TestFileNameRules::storableNames()
{
    QFETCH(QByteArray, name);
    QTEST(FileNameRules::isStorableName(std::string_view(name.constData(), std::size_t(name.size()))), "storable");
}

void TestFileNameRules::storablePaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("storable");

    QTest::newRow("plain") << "/home/ann/Pics/a.jpg" << true;
    QTest::newRow("quote in a folder") << "/home/ann/\"Best\"/a.jpg" << false;
    QTest::newRow("line feed in a folder") << "/home/ann/x\ny/a.jpg" << false;
    QTest::newRow("carriage return") << "/home/ann/x\ry/a.jpg" << false;
}

void TestFileNameRules::storablePaths()
{
    QFETCH(QString, path);
    QTEST(FileNameRules::isStorablePath(path), "storable");
}

void TestFileNameRules::listingOrder()
{
    std::vector<std::string> names
        = {"b.jpg", "_x.jpg", "B.jpg", "a10.jpg", "A2.jpg", "\xc3\xa9.jpg", "a.jpg", "Z.jpg"};
    std::sort(names.begin(), names.end(), FileNameRules::listsBefore);
    const std::vector<std::string> expected
        = {"_x.jpg", "a.jpg", "a10.jpg", "A2.jpg", "B.jpg", "b.jpg", "Z.jpg", "\xc3\xa9.jpg"};
    QCOMPARE(names, expected);
    QVERIFY(!FileNameRules::listsBefore("same", "same"));
    QVERIFY(FileNameRules::listsBefore("ab", "abc"));
    QVERIFY(!FileNameRules::listsBefore("abc", "AB"));
}

QTEST_GUILESS_MAIN(TestFileNameRules)
#include "tst_scanner_filenamerules.moc"
