#include "CatalogTestSupport.h"

#include <QRandomGenerator>
#include <QTest>

// Whatever catalog the program holds, the next save must read back as the same catalog.
class TestCatalogRoundTrip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void randomCatalogsReadBackUnchanged();
};

namespace {

QStringList categoriesOf(const Catalog &catalog)
{
    QStringList list;
    for (int i = 1; i <= catalog.tree().nodeCount(); ++i) {
        const CategoryNode *node = catalog.tree().node(i);
        list << (node->parent ? node->parent->name + QLatin1Char('\\') : QString()) + node->name;
    }
    return list;
}

} // namespace

using CatalogTest::kAllExist;
using CatalogTest::recordsOf;
using CatalogTest::written;

void TestCatalogRoundTrip::randomCatalogsReadBackUnchanged()
{
    QRandomGenerator random(20261207);
    // Every printable ASCII character, and some beyond, one of them outside 16 bits.
    QString printable;
    for (char16_t c = 0x20; c < 0x7f; ++c)
        printable += QChar(c);
    printable += QStringLiteral("éßΩ€\U0001D11E");
    auto randomText = [&](int maxLength, QStringView forbidden) {
        QString text;
        const int length = int(random.bounded(maxLength + 1));
        while (text.size() < length) {
            const qsizetype at = random.bounded(printable.size());
            const qsizetype size = printable.at(at).isSurrogate() ? 2 : 1;
            const QStringView c = QStringView(printable).mid(printable.at(at).isLowSurrogate() ? at - 1 : at, size);
            if (!forbidden.contains(c))
                text += c;
        }
        return text;
    };
    // Index texts a record may carry, with the index they read as; each is written as
    // that number and comes back in its plain form.
    const QList<std::pair<QString, int>> oddIndexes{
        {"", 0}, {"abc", 0}, {"07", 7}, {"+2", 2}, {" 1", 1}, {"3x", 3}, {"-0", 0}, {"40000", 0}, {"-4", -4}, {"99", 99}};
    for (int round = 0; round < 300; ++round) {
        Catalog catalog;
        const int categories = 1 + int(random.bounded(6));
        for (int i = 1; i <= categories; ++i) {
            // Names from older files may hold "/"; a sub-category may be named "Temporary".
            QString name = random.bounded(4) ? randomText(8, u"\"\\") : QStringLiteral("C");
            if (name.isEmpty() || (i > 1 && random.bounded(8) == 0))
                name = i > 1 ? Catalog::kTemporaryName : QStringLiteral("C");
            if (i > 1 && (name == Catalog::kTemporaryName || random.bounded(2)))
                catalog.tree().addChild(int(random.bounded(1, i)), name);
            else
                catalog.tree().addRoot(name);
        }
        QStringList expected;
        bool plainIndexes = true;
        const int records = int(random.bounded(20));
        for (int r = 0; r < records; ++r) {
            const QString path = QStringLiteral("/f/%1/").arg(r) + randomText(10, u"\"") + QStringLiteral(".jpg");
            const QString keywords = randomText(12, u"/>\"");
            QString indexText = QString::number(1 + random.bounded(categories));
            int index = indexText.toInt();
            if (random.bounded(4) == 0) {
                std::tie(indexText, index) = oddIndexes.at(random.bounded(oddIndexes.size()));
                plainIndexes = false;
            }
            catalog.records().append(path + QLatin1Char('/') + indexText + QLatin1Char('>') + keywords);
            expected.append(path + QLatin1Char('/') + QString::number(index) + QLatin1Char('>') + keywords);
        }
        QByteArray file = written(catalog);
        Catalog reloaded;
        const CatalogLoadReport report = OpenFileList(QByteArrayView(file), reloaded, kAllExist);
        QVERIFY2(!report.stop, file.constData());
        QCOMPARE(report.keywordsMended + report.categoryNamesMended + report.filesWithoutCategory
                     + report.filesOfUnnamedCategories + int(report.categoriesPutAtTopLevel.size()),
                 0);
        QCOMPARE(recordsOf(reloaded), expected);
        // A sub-category comes back under the last node of its parent's name: with names
        // that differ, the same parent.
        QCOMPARE(categoriesOf(reloaded), categoriesOf(catalog));
        if (plainIndexes)
            QCOMPARE(written(reloaded), file); // saving it again writes the same file
    }
}

QTEST_GUILESS_MAIN(TestCatalogRoundTrip)
#include "tst_catalogroundtrip.moc"
