#pragma once

#include "AppSettings.h"
#include "Catalog.h"
#include "ExtensionTable.h"
#include "FileIconCache.h"
#include "FileListModel.h"
#include "FileRecord.h"
#include "FileTypeCache.h"
#include "ScanContext.h"
#include "ScriptedInteraction.h"

#include <QIcon>
#include <QStandardPaths>
#include <QStringList>

#include <algorithm>

// Settings go to the test's own place before anything opens them.
struct SettingsInTestMode {
    SettingsInTestMode() { QStandardPaths::setTestModeEnabled(true); }
};

// Everything the main window owns and the windows of finding media share, for tests.
struct ScanFixture {
    SettingsInTestMode testMode;
    Catalog catalog;
    FileTypeCache types;
    FileIconCache icons{[](const QString &) { return QIcon(); }};
    FileListModel fileList{icons, types};
    ScriptedInteraction interaction;
    AppSettings settings;
    ExtensionTable extensions;
    bool includeSubfolders = true;
    QList<int> selectedCategories;

    ScanFixture()
    {
        catalog.resetToEmpty();
        catalog.markSaved();
        fileList.setBackgroundFillEnabled(false);
    }

    ScanContext context()
    {
        return {catalog, fileList, interaction, settings, extensions, includeSubfolders, [this](int categoryIndex) {
                    selectedCategories.append(categoryIndex);
                }};
    }

    QStringList rowPaths() const
    {
        QStringList paths;
        for (int row = 0; row < fileList.rowCount(); ++row)
            paths.append(fileList.rowPath(row));
        return paths;
    }

    // The paths of the records filed under the category, in record-list order.
    QStringList recordPathsIn(int categoryIndex) const
    {
        QStringList paths;
        for (int position = 0; position < catalog.records().size(); ++position) {
            if (catalog.records().categoryAt(position) == categoryIndex)
                paths.append(recordPath(catalog.records().at(position)));
        }
        return paths;
    }

    // Found records stand behind the first record newest first: reversed, they give the
    // order in which the scan found the files. Paths are given relative to the folder.
    QStringList foundOrder(int categoryIndex, const QString &folder) const
    {
        QStringList paths = recordPathsIn(categoryIndex);
        std::reverse(paths.begin(), paths.end());
        return paths.replaceInStrings(folder + QLatin1Char('/'), QString());
    }
};

