#include "MainWindowLayout.h"

#include <QtGlobal>

namespace MainWindowLayout {

Result SizeControls(const Input &in, const Result &previous)
{
    Result r;
    double x = in.splitterX;
    if (x < kMinPaneWidth)
        x = kMinPaneWidth;
    if (x > in.windowWidth - kMinPaneWidth)
        x = in.windowWidth - kMinPaneWidth;
    r.splitterX = x;

    r.treeWidth = x;
    r.listLeft = x + kSplitterWidth;
    r.listWidth = in.windowWidth - (r.treeWidth + 140);
    r.title0Width = r.treeWidth;
    r.title1Left = r.listLeft + 20;
    r.title1Width = r.listWidth - 40;

    r.treeTop = in.titleStripHeight + (in.toolbarVisible ? in.toolbarHeight : 0);
    r.listTop = r.treeTop;
    r.treeHeight = in.scaleHeight - (in.titleStripTop + in.titleStripHeight)
        - (in.statusBarVisible ? in.statusBarHeight : 0);
    r.listHeight = r.treeHeight - kDetailsBandHeight;
    r.splitterTop = r.treeTop;
    r.splitterHeight = r.treeHeight;

    // Each height is its own step: one that fails leaves the others alone.
    if (r.treeHeight < 0)
        r.treeHeight = previous.treeHeight;
    if (r.listHeight < 0)
        r.listHeight = previous.listHeight;
    if (r.splitterHeight < 0)
        r.splitterHeight = previous.splitterHeight;
    return r;
}

double indicatorLeft(double candidate, double windowWidth)
{
    if (candidate < kIndicatorMargin)
        return kIndicatorMargin;
    if (candidate > windowWidth - kIndicatorMargin)
        return windowWidth - kIndicatorMargin;
    return candidate;
}

SearchPlaces placeSearchControls(double windowWidth, double freeFrom, double searchWidth, double advancedWidth)
{
    SearchPlaces p;
    p.advancedLeft = windowWidth - kSearchGap - advancedWidth;
    p.searchLeft = p.advancedLeft - kSearchGap - searchWidth;
    const double textRight = p.searchLeft - kSearchGap;
    if (textRight - freeFrom >= kMinSearchTextWidth) {
        p.textWidth = qMin(kMaxSearchTextWidth, textRight - freeFrom);
        p.textLeft = textRight - p.textWidth;
        return p;
    }
    p.ownRow = true;
    p.textLeft = kSearchGap;
    p.textWidth = qMax(0.0, textRight - kSearchGap);
    return p;
}

} // namespace MainWindowLayout
