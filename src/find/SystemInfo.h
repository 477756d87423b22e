#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;
namespace Interaction {
class Interface;
}

// The About box's System Info: the desktop's system-information program, started
// and left to run on its own.
namespace SystemInfo {

struct Program {
    QString name; // looked up on the PATH
    QStringList arguments;
};

// Tried in this order: hardinfo, kinfocenter, then the settings' system-details panel.
QList<Program> defaultCandidates();

// The first candidate found in searchPath (folders separated as on the PATH), with
// its full file path in name; an empty name when none is installed.
Program find(const QList<Program> &candidates, const QString &searchPath);

// StartSysInfo: starts the first installed candidate detached, or says that system
// information is unavailable, in a box over owner. On Windows the registry's MSINFO
// entries come first.
void StartSysInfo(Interaction::Interface &ui, const QList<Program> &candidates, const QString &searchPath,
                  QWidget *owner);

#ifdef Q_OS_WIN
// Reads one string value below a registry root, read-only; false (and an empty
// keyVal) when the key or the value cannot be read.
bool GetKeyValue(void *keyRoot, const QString &keyName, const QString &subKeyRef, QString &keyVal);
#endif

} // namespace SystemInfo
