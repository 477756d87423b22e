#pragma once

#include "Interaction.h"

#include <QString>

// Opening a catalogued file with the program the desktop associates with its type.
// The request is handed to the desktop and never waited for; once the desktop has
// taken it, what the desktop does (including its own "no program" message) is its
// business. What the program itself reports is the request that never got that far.
namespace OpenWithShell {

struct Failure {
    int number = 0;
    QString description;
};

// The freedesktop opener, xdg-open, as found in searchPath (folders separated as on
// the PATH; "" for the process's own PATH); empty when it is not installed.
QString findOpener(const QString &searchPath = QString());

// Starts the opener found in searchPath on path, detached: it is never waited for.
// False when there is no opener or it could not be started.
bool startOpener(const QString &path, const QString &searchPath = QString());

// Why the opener in searchPath could not take a request, for a user who must mend it.
Failure openerFailure(const QString &searchPath = QString());

// A file that is not there because the drive holding it is not connected: says so,
// naming the drive's folder, and gives true; false (and says nothing) otherwise.
bool reportOfflineDrive(Interaction::Interface &ui, const QString &path);

// Opens path; an empty path does nothing. A file that no longer exists is reported
// before anything starts, and so is an opener that is missing or does not start:
// "Error opening <path>." and then "<number> - <description>". True when the desktop
// took the request.
bool open(Interaction::Interface &ui, const QString &path);

} // namespace OpenWithShell
