#include "OpenWithShell.h"

#include "ConnectedDrives.h"
#include "FileAccess.h"
#include "WatchedProcess.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QUrl>

namespace OpenWithShell {

namespace {

void report(Interaction::Interface &ui, const QString &path, const Failure &failure)
{
    using namespace Interaction;
    ui.message(QStringLiteral("Error opening ") + path + QStringLiteral("."), kProgramTitle, Icon::Critical);
    ui.message(QString::number(failure.number) + QStringLiteral(" - ") + failure.description, kProgramTitle,
               Icon::None);
}

void reportNoProgram(Interaction::Interface &ui, const QString &path)
{
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    ui.message(QStringLiteral("No program is set to open files of the type \"%1\", such as %2.\n\n"
                              "To choose one, open such a file in your file manager with \"Open With\" and make the "
                              "program you pick the default for this type. In a terminal, "
                              "\"xdg-mime default PROGRAM.desktop %3\" does the same.")
                   .arg(type.comment(), QFileInfo(path).fileName(), type.name()),
               Interaction::kProgramTitle, Interaction::Icon::Exclamation);
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

bool startOpener(const QString &path, const QString &searchPath, QObject *context,
                 std::function<void(int status)> answered)
{
    const QString opener = findOpener(searchPath);
    if (opener.isEmpty())
        return false;
    // A URL, never a bare name: a name that starts with "-" or looks like a URL would be
    // taken for an option or a web address. Fully encoded, since xdg-open cuts a file
    // URL at "#" and "?" before it undoes the escapes.
    const QString url = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    return WatchedProcess::start(opener, {url}, context, std::move(answered));
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
    const bool handedOver = ui.openWithDefaultProgram(path, [&ui, path](int status) {
        if (status == kNoProgramForType || status == kOpeningFailed)
            reportNoProgram(ui, path);
    });
    if (handedOver)
        return true;
    report(ui, path, openerFailure());
    return false;
}

} // namespace OpenWithShell
