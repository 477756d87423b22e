#pragma once

#include "FileIconCache.h"
#include "TestFiles.h"

#include <QColor>
#include <QDateTime>
#include <QFile>
#include <QIcon>
#include <QPixmap>

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

} // namespace BrowseTest
