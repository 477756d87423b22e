#pragma once

// The explorer-style layout of the main window, computed in twips: the category tree
// left of a splitter bar at X, the file list right of it with the details band below.
namespace MainWindowLayout {

constexpr double kMinPaneWidth = 1500; // neither pane gets narrower
constexpr double kIndicatorMargin = 500; // the drag indicator stops this far from an edge
constexpr double kMinWindowWidth = 3000;
constexpr double kDetailsBandHeight = 2800; // below the list, the details panel's
constexpr double kSplitterWidth = 40;

struct Input {
    double splitterX = 0;
    double windowWidth = 0;
    double scaleHeight = 0; // inner height below the menu bar
    double titleStripTop = 0;
    double titleStripHeight = 0;
    bool toolbarVisible = true;
    double toolbarHeight = 0;
    bool statusBarVisible = true;
    double statusBarHeight = 0;
};

struct Result {
    double splitterX = 0;
    double treeLeft = 0, treeTop = 0, treeWidth = 0, treeHeight = 0;
    double listLeft = 0, listTop = 0, listWidth = 0, listHeight = 0;
    double title0Width = 0, title1Left = 0, title1Width = 0;
    double splitterTop = 0, splitterHeight = 0;
};

// A height that would come out negative (a very short or minimized window) is not
// set: the tree, the splitter bar and the list keep their heights from previous.
Result SizeControls(const Input &input, const Result &previous = Result());

// Where the drag indicator goes for a pointer at candidate (window coordinates).
double indicatorLeft(double candidate, double windowWidth);

constexpr double kSearchGap = 60;
constexpr double kMinSearchTextWidth = 1800; // room for a few words of search text
constexpr double kMaxSearchTextWidth = 2400;

// The quick-search box and its two buttons, at the right end of the title strip.
struct SearchPlaces {
    bool ownRow = false; // in a row of their own above the titles, across the window
    double textLeft = 0, textWidth = 0;
    double searchLeft = 0, advancedLeft = 0;
};

// The controls sit beside the "Files:" title when the box keeps at least
// kMinSearchTextWidth right of freeFrom there; otherwise they take a row of their own
// and the box takes what the buttons leave of the window's width.
SearchPlaces placeSearchControls(double windowWidth, double freeFrom, double searchWidth, double advancedWidth);

} // namespace MainWindowLayout
