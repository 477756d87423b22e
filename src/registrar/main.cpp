// Pelmarsh: registers ".kvd" catalogs with the desktop for the current user, so that opening
// one starts Corvanta with it, then starts Corvanta. Takes no arguments and asks nothing.
#include "UserAssociation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>

#include <cstdio>
#include <unistd.h>

namespace {

void report(const QString &message)
{
    std::fprintf(stderr, "pelmarsh: %s\n", qUtf8Printable(message));
}

// The folder of this program as the system names it. Qt's own answer is empty for a
// name that is not text in the locale's encoding.
QByteArray ownFolder()
{
    QByteArray program(4096, Qt::Uninitialized);
    const ssize_t length = ::readlink("/proc/self/exe", program.data(), std::size_t(program.size()));
    if (length <= 0 || length == program.size())
        return QFile::encodeName(QCoreApplication::applicationDirPath());
    program.truncate(length);
    return program.left(program.lastIndexOf('/'));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);

    // A desktop entry is UTF-8 text: a program in a folder of another name cannot be
    // written into one, and an entry with a wrong path would replace a working default.
    const QByteArray folder = ownFolder();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    const QString folderName = utf8(folder);
    if (folder.isEmpty() || utf8.hasError()) {
        report(QStringLiteral("nothing registered: the name of the folder Pelmarsh is in (%1) is not valid UTF-8, "
                              "which a desktop entry cannot hold; move Corvanta and Pelmarsh to another folder")
                   .arg(QString::fromLocal8Bit(folder)));
        return 1;
    }
    const QString corvanta = folderName + QStringLiteral("/corvanta");
    const QFileInfo program(corvanta);
    if (!program.isFile() || !program.isExecutable()) {
        report(QStringLiteral("nothing registered: Corvanta is not beside Pelmarsh (%1 %2)")
                   .arg(corvanta, program.exists() ? QStringLiteral("is not a program") : QStringLiteral("is missing")));
        return 1;
    }

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
    return failures.isEmpty() ? 0 : 1;
}
