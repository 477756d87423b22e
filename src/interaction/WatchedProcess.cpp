#include "WatchedProcess.h"

#include <QFile>
#include <QObject>
#include <QSocketNotifier>

#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <memory>
#include <thread>
#include <vector>

extern char **environ;

namespace WatchedProcess {

namespace {

// A child that cannot be watched is still reaped, so that it leaves no zombie behind.
void reapUnwatched(pid_t pid)
{
    std::thread([pid] {
        int status = 0;
        ::waitpid(pid, &status, 0);
    }).detach();
}

} // namespace

bool start(const QString &program, const QStringList &arguments, QObject *context,
           std::function<void(int status)> exited)
{
    std::vector<QByteArray> texts{QFile::encodeName(program)};
    for (const QString &argument : arguments)
        texts.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);

    // A session of its own, and no signal blocked or ignored by this process: the
    // program must not go when this one's terminal does.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigfillset(&defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int failure = posix_spawn(&pid, argv.front(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (failure != 0)
        return false;

    // The child's pidfd turns readable when it ends, so the event loop hears of it.
#ifdef SYS_pidfd_open
    const int pidfd = int(::syscall(SYS_pidfd_open, pid, 0));
#else
    const int pidfd = -1;
#endif
    if (pidfd < 0 || !context) {
        if (pidfd >= 0)
            ::close(pidfd);
        reapUnwatched(pid);
        return true;
    }
    auto *watch = new QSocketNotifier(qintptr(pidfd), QSocketNotifier::Read, context);
    auto reaped = std::make_shared<bool>(false);
    // Gone with its context before the child ended: the child is reaped all the same.
    QObject::connect(watch, &QObject::destroyed, [pidfd, pid, reaped] {
        ::close(pidfd);
        if (!*reaped)
            reapUnwatched(pid);
    });
    QObject::connect(watch, &QSocketNotifier::activated, watch, [watch, pid, reaped, exited = std::move(exited)] {
        int status = 0;
        const pid_t ended = ::waitpid(pid, &status, WNOHANG);
        if (ended == 0)
            return;
        *reaped = true;
        watch->setEnabled(false);
        watch->deleteLater();
        if (exited)
            exited(ended == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    });
    return true;
}

} // namespace WatchedProcess
