#include "MainWindowLayout.h"

#include <QTest>

using namespace MainWindowLayout;

class TestMainWindowLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splitterIsClamped_data();
    void splitterIsClamped();
    void panesFollowSplitter();
    void barsTakeTheirHeight_data();
    void barsTakeTheirHeight();
    void searchControlsMoveToTheirOwnRowWhenNarrow_data();
    void searchControlsMoveToTheirOwnRowWhenNarrow();
};

namespace {

Input window(double width, double x)
{
    Input in;
    in.windowWidth = width;
    in.splitterX = x;
    in.scaleHeight = 8000;
    in.titleStripHeight = 400;
    in.toolbarHeight = 600;
    in.titleStripTop = 600;
    in.statusBarHeight = 300;
    return in;
}

} // namespace

// The layout keeps each pane 1500 wide; the drag indicator stops 500 from an edge.
void TestMainWindowLayout::splitterIsClamped_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("laidOut");
    QTest::addColumn<double>("indicator");
    QTest::newRow("inside") << 6500.0 << 2500.0 << 2500.0 << 2500.0;
    QTest::newRow("200 from the left") << 6500.0 << 200.0 << 1500.0 << 500.0;
    QTest::newRow("near the right") << 6500.0 << 6300.0 << 5000.0 << 6000.0;
    QTest::newRow("3000 wide sits at 1500") << 3000.0 << 2900.0 << 1500.0 << 2500.0;
    QTest::newRow("3000 wide from the left") << 3000.0 << 0.0 << 1500.0 << 500.0;
}

void TestMainWindowLayout::splitterIsClamped()
{
    QFETCH(double, width);
    QFETCH(double, x);
    QTEST(SizeControls(window(width, x)).splitterX, "laidOut");
    QTEST(indicatorLeft(x, width), "indicator");
}

void TestMainWindowLayout::panesFollowSplitter()
{
    const Result r = SizeControls(window(8000, 3000));
    const QList<double> across{r.treeWidth, r.listLeft, r.listWidth, r.title0Width, r.title1Left, r.title1Width};
    QCOMPARE(across, (QList<double>{3000, 3040, 4860, 3000, 3060, 4820}));
    // The heights go with the bars, below.
    QCOMPARE((QList<double>{r.listTop, r.splitterTop}), (QList<double>{1000, 1000}));
}

void TestMainWindowLayout::barsTakeTheirHeight_data()
{
    QTest::addColumn<bool>("toolbar");
    QTest::addColumn<bool>("statusBar");
    QTest::addColumn<double>("scaleHeight");
    QTest::addColumn<QList<double>>("heights"); // the tree's top, its height, the list's and the splitter's
    // The previous layout had a tree of 5000 and a list of 2200.
    QTest::newRow("both") << true << true << 8000.0 << QList<double>{1000, 6700, 3900, 6700};
    QTest::newRow("no toolbar") << false << true << 8000.0 << QList<double>{400, 7300, 4500, 7300};
    QTest::newRow("no status bar") << true << false << 8000.0 << QList<double>{1000, 7000, 4200, 7000};
    QTest::newRow("neither") << false << false << 8000.0 << QList<double>{400, 7600, 4800, 7600};
    QTest::newRow("too short for the details band: the list keeps its height")
        << true << true << 3000.0 << QList<double>{1000, 1700, 2200, 1700};
    QTest::newRow("shorter than the bars: every pane keeps its height")
        << true << true << 1000.0 << QList<double>{1000, 5000, 2200, 5000};
}

void TestMainWindowLayout::barsTakeTheirHeight()
{
    QFETCH(bool, toolbar);
    QFETCH(bool, statusBar);
    QFETCH(double, scaleHeight);
    Input in = window(8000, 3000);
    in.toolbarVisible = toolbar;
    in.titleStripTop = toolbar ? in.toolbarHeight : 0;
    in.statusBarVisible = statusBar;
    in.scaleHeight = scaleHeight;
    Result previous;
    previous.treeHeight = previous.splitterHeight = 5000;
    previous.listHeight = 2200;
    const Result r = SizeControls(in, previous);
    QTEST((QList<double>{r.treeTop, r.treeHeight, r.listHeight, r.splitterHeight}), "heights");
}

// The buttons are 900 and 1650 wide; the title leaves the strip free from freeFrom.
void TestMainWindowLayout::searchControlsMoveToTheirOwnRowWhenNarrow_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("freeFrom");
    QTest::addColumn<bool>("ownRow");
    QTest::addColumn<QList<double>>("places"); // text left, text width, Search left, Advanced Search left
    QTest::newRow("wide: beside the title, the box at its widest")
        << 12000.0 << 4000.0 << false << QList<double>{6870, 2400, 9330, 10290};
    QTest::newRow("just room for the narrowest box")
        << 8530.0 << 4000.0 << false << QList<double>{4000, 1800, 5860, 6820};
    QTest::newRow("default size: a row of their own, the box across the rest")
        << 6500.0 << 3200.0 << true << QList<double>{60, 3710, 3830, 4790};
}

void TestMainWindowLayout::searchControlsMoveToTheirOwnRowWhenNarrow()
{
    QFETCH(double, width);
    QFETCH(double, freeFrom);
    const SearchPlaces p = placeSearchControls(width, freeFrom, 900, 1650);
    QTEST(p.ownRow, "ownRow");
    QTEST((QList<double>{p.textLeft, p.textWidth, p.searchLeft, p.advancedLeft}), "places");
}

QTEST_GUILESS_MAIN(TestMainWindowLayout)
#include "tst_mainwindowlayout.moc"
