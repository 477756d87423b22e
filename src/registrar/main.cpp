// Pelmarsh: registers ".kvd" catalogs with the desktop for the current user, so that opening
// one starts Corvanta with it, then starts Corvanta. Takes no arguments and asks nothing.
#include "UserAssociation.h"

#include <QCoreApplication>
#include <QProcess>

#include <cstdio>

namespace {

void report(const QString &message)
{
    std::fprintf(stderr, "pelmarsh: %s\n", qUtf8Printable(message));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QString corvanta = QCoreApplication::applicationDirPath() + QStringLiteral("/corvanta");

    // A step that fails leaves the others to run; Corvanta is started all the same.
    const QStringList failures = UserAssociation::registerCorvanta(UserAssociation::Folders::ofCurrentUser(), corvanta);
    for (const QString &failure : failures)
        report(failure);

    QProcess process;
    process.setProgram(corvanta);
    if (!process.startDetached()) {
        report(QStringLiteral("cannot start Corvanta (%1): %2").arg(corvanta, process.errorString()));
        return 1;
    }
    return 0;
}
