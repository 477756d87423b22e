#include "OpenWithShell.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>

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

Failure openerFailure(const QString &searchPath)
{
    const QStringList folders = searchPath.isEmpty()
        ? QStringList()
        : searchPath.split(QDir::listSeparator(), Qt::SkipEmptyParts);
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open"), folders).isEmpty())
        return {ENOENT, QStringLiteral("No program to open files with was found. Install the xdg-utils "
                                       "package, which provides xdg-open, and check that xdg-open is on "
                                       "the PATH.")};
    return {ENOEXEC, QStringLiteral("xdg-open could not be started. Check that the xdg-utils package is "
                                    "installed completely and that \"xdg-open\" works in a terminal.")};
}

bool open(Interaction::Interface &ui, const QString &path)
{
    if (path.isEmpty())
        return false;
    // A dangling symbolic link counts as gone: there is nothing to open behind it.
    if (!QFileInfo::exists(path)) {
        report(ui, path,
               {ENOENT, QStringLiteral("The file no longer exists. It may have been moved, renamed or deleted, "
                                       "or the disk that holds it may not be connected.")});
        return false;
    }
    if (ui.openWithDefaultProgram(path))
        return true;
    report(ui, path, openerFailure());
    return false;
}

} // namespace OpenWithShell
