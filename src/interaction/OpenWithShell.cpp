#include "OpenWithShell.h"

#include "ConnectedDrives.h"
#include "FileAccess.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace OpenWithShell {

namespace {

void report(Interaction::Interface &ui, const QString &path, const Failure &failure)
{
    using namespace Interaction;
    ui.message(QStringLiteral("Error opening ") + path + QStringLiteral("."), kProgramTitle, Icon::Critical);
    ui.message(QString::number(failure.number) + QStringLiteral(" - ") + failure.description, kProgramTitle,
               Icon::None);
}

} // namespace

QString findOpener(const QString &searchPath)
{
    const QString path = searchPath.isEmpty() ? qEnvironmentVariable("PATH") : searchPath;
    const QStringList folders = path.split(QDir::listSeparator(), Qt::SkipEmptyParts);
    // No folders at all: findExecutable would fall back to a built-in search path.
    if (folders.isEmpty())
        return {};
    return QStandardPaths::findExecutable(QStringLiteral("xdg-open"), folders);
}

bool startOpener(const QString &path, const QString &searchPath)
{
    const QString opener = findOpener(searchPath);
    if (opener.isEmpty())
        return false;
    // The path goes as it is: xdg-open takes a local file name, and a file URL would
    // need escaping that older versions of it undo differently.
    return QProcess::startDetached(opener, {path});
}

Failure openerFailure(const QString &searchPath)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (findOpener(searchPath).isEmpty())
        return {FileAccess::kFileNotFound,
                QStringLiteral("No program to open files with was found. Install the xdg-utils package, "
                               "which provides xdg-open, and check that xdg-open is on the PATH.")};
    return {FileAccess::kPathFileAccessError,
            QStringLiteral("xdg-open could not be started. Check that the xdg-utils package is installed "
                           "completely and that \"xdg-open\" works in a terminal.")};
#else
    Q_UNUSED(searchPath);
    return {FileAccess::kPathFileAccessError, QStringLiteral("The desktop did not take the request to open the file.")};
#endif
}

bool reportOfflineDrive(Interaction::Interface &ui, const QString &path)
{
    if (QFileInfo::exists(path))
        return false;
    const QString drive = ConnectedDrives::now()->offlineVolumeOf(path);
    if (drive.isEmpty())
        return false;
    ui.message(QStringLiteral("This file is on a drive that is not connected: %1.").arg(drive),
               Interaction::kProgramTitle, Interaction::Icon::Information);
    return true;
}

bool open(Interaction::Interface &ui, const QString &path)
{
    if (path.isEmpty())
        return false;
    // A dangling symbolic link counts as gone: there is nothing to open behind it.
    if (!QFileInfo::exists(path)) {
        if (reportOfflineDrive(ui, path))
            return false;
        report(ui, path,
               {FileAccess::kFileNotFound,
                QStringLiteral("File not found. The file no longer exists. It may have been moved, renamed or "
                               "deleted, or the disk that holds it may not be connected.")});
        return false;
    }
    if (ui.openWithDefaultProgram(path))
        return true;
    report(ui, path, openerFailure());
    return false;
}

} // namespace OpenWithShell
