#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QObject;

// Starting a program that lives on its own, in a session of its own and sharing this
// process's standard streams, as a detached start does, while still hearing how it
// ended. Nothing ever waits for it on the calling thread, and it outlives the program
// if need be.
namespace WatchedProcess {

// Starts program (a full path) with arguments; false when it could not be started.
// When it ends, exited(status) runs on this thread from the event loop: its exit status,
// or -1 when a signal ended it. Nothing runs once context is gone.
bool start(const QString &program, const QStringList &arguments, QObject *context,
           std::function<void(int status)> exited);

} // namespace WatchedProcess
