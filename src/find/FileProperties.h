#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// What the Properties dialog says about one file, read in one go so that the dialog
// either describes the file completely or not at all.
struct FileProperties {
    // The six captions in the order the dialog fills them: Date Created, Name, Path,
    // Type, Date Last Modified, Date Last Accessed.
    QStringList captions;
    // Set when the file could not be read; captions are then empty.
    int errorNumber = 0;
    QString errorDescription;

    bool ok() const { return errorNumber == 0; }
};

// typeOf gives the desktop's type description for a path.
FileProperties ReadFileProperties(const QString &path, const std::function<QString(const QString &)> &typeOf);
