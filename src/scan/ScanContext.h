#pragma once

#include <functional>

class AppSettings;
class Catalog;
class ExtensionTable;
class FileListModel;
namespace Interaction {
class Interface;
}

// What the windows of finding media share with the main window, which owns all of it
// for the whole run of the program.
struct ScanContext {
    Catalog &catalog;
    FileListModel &fileList;
    Interaction::Interface &interaction;
    AppSettings &settings;
    // The additional extensions the next Search uses once.
    ExtensionTable &extensions;
    // Set by the Import Files wizard's Continue, read when a scan starts.
    bool &includeSubfolders;
    // Highlights a node of the category tree without listing its files, so that the
    // file list keeps the rows of the scan.
    std::function<void(int categoryIndex)> selectCategory;
};
