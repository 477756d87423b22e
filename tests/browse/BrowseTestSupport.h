#pragma once

#include "Catalog.h"
#include "FileIconCache.h"
#include "FileListModel.h"
#include "FileTypeCache.h"
#include "ScriptedInteraction.h"
#include "TestFiles.h"

#include <QColor>
#include <QDateTime>
#include <QFile>
#include <QIcon>
#include <QPixmap>
#include <QTest>

// Helpers shared by the browsing tests.
namespace BrowseTest {

// Creates a file and gives it a last-modified time.
inline QString createFileModified(const QString &path, const QDateTime &modified, const QByteArray &content = "x")
{
    const QString created = TestFiles::createFile(path, content);
    QFile file(created);
    if (created.isEmpty() || !file.open(QIODevice::ReadWrite)
        || !file.setFileTime(modified, QFileDevice::FileModificationTime))
        return {};
    return created;
}

// An icon source that counts its calls and makes a plain coloured icon.
struct CountingIconSource {
    int calls = 0;
    QStringList paths;

    FileIconCache::IconSource source()
    {
        return [this](const QString &path) {
            ++calls;
            paths.append(path);
            QPixmap pixmap(16, 16);
            pixmap.fill(QColor::fromHsv((calls * 37) % 360, 200, 200));
            return QIcon(pixmap);
        };
    }
};

// A file list model over counted icons. The idle pass is off: a test decides when
// the rows' details are read.
struct FileList {
    CountingIconSource source;
    FileTypeCache types;
    FileIconCache icons{source.source()};
    FileListModel model{icons, types};

    FileList() { model.setBackgroundFillEnabled(false); }
    // Lists the category to its last row.
    void list(const Catalog &catalog, int category)
    {
        model.ShowCategoryFiles(catalog, category);
        QTRY_VERIFY(!model.isListing());
    }
    QStringList column(int column) const
    {
        QStringList cells;
        for (int row = 0; row < model.rowCount(); ++row)
            cells.append(model.index(row, column).data().toString());
        return cells;
    }
};

// What was asked, one line each: "title|text|default" for every prompt, then
// "title|icon|buttons|text" for every message box.
inline QStringList asked(const ScriptedInteraction &ui)
{
    QStringList lines;
    for (const ScriptedInteraction::Prompt &p : ui.prompts)
        lines.append(p.title + QLatin1Char('|') + p.text + QLatin1Char('|') + p.defaultText);
    return lines + ui.shownMessages();
}

// The catalog's records, with the folder left out of their paths.
inline QStringList recordsOf(const Catalog &catalog, const QString &folder = QString())
{
    QStringList records;
    for (int i = 0; i < catalog.records().size(); ++i)
        records.append(folder.isEmpty() ? catalog.records().at(i) : QString(catalog.records().at(i)).remove(folder + QLatin1Char('/')));
    return records;
}

} // namespace BrowseTest
