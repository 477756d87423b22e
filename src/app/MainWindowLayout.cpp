#include "MainWindowLayout.h"

namespace MainWindowLayout {

Result SizeControls(const Input &in)
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
    r.listHeightValid = r.listHeight >= 0;

    r.splitterTop = r.treeTop;
    r.splitterHeight = r.treeHeight;
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

} // namespace MainWindowLayout
