#pragma once

#include "TestFiles.h"

#include <QFile>
#include <QString>

// Stand-ins for the desktop's programs: a script that writes the arguments it was
// started with, one a line, to "<its path>.args" and ends.
namespace FakePrograms {

inline const QByteArray kRecordsArguments = "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.args\"\n";

inline QString install(const QString &folder, const QString &name, const QByteArray &script = kRecordsArguments)
{
    const QString path = TestFiles::createFile(folder + QLatin1Char('/') + name, script);
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
    return path;
}

// A program that is there but cannot start: its interpreter does not exist.
inline const QByteArray kBroken = "#!/nonexistent/interpreter\n";

} // namespace FakePrograms
