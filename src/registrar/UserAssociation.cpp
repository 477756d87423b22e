#include "UserAssociation.h"

#include "AssociationText.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace UserAssociation {

namespace {

constexpr int kToolTimeoutMs = 60000;

// The association's own files, compiled in so that Pelmarsh needs nothing beside it.
const QString kResourceDesktopEntry = QStringLiteral(":/corvanta.desktop");
const QString kResourceMimePackage = QStringLiteral(":/corvanta.xml");
const QString kResourceIcons = QStringLiteral(":/icons/hicolor");

QString writeFile(const QString &path, const QByteArray &content)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QStringLiteral("cannot create the folder of %1").arg(path);
    // QSaveFile writes through a symbolic link to its target and replaces the file only
    // once the new content is complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return {};
}

QByteArray resource(const QString &name)
{
    QFile file(name);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void addFailure(QStringList &failures, const QString &failure)
{
    if (!failure.isEmpty())
        failures.append(failure);
}

// Runs a cache tool where it is installed; a missing tool is no failure, only a note.
QString runTool(const QString &tool, const QStringList &arguments, const QString &missingNote)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return missingNote;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(kToolTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return QStringLiteral("%1 did not finish: %2").arg(tool, process.errorString());
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QStringLiteral("%1 failed (exit status %2): %3")
            .arg(tool)
            .arg(process.exitCode())
            .arg(QString::fromLocal8Bit(process.readAll()).trimmed());
    return {};
}

void writeMimePackage(QStringList &failures, const QString &mimeFolder)
{
    addFailure(failures, writeFile(mimeFolder + QStringLiteral("/packages/corvanta.xml"),
                                   resource(kResourceMimePackage)));
    addFailure(failures,
               runTool(QStringLiteral("update-mime-database"), {mimeFolder},
                       QStringLiteral("update-mime-database is not installed (package shared-mime-info): "
                                      "the catalog type is known only once it has run")));
}

void writeDesktopEntry(QStringList &failures, const QString &applicationsFolder,
                       const QString &corvantaProgram)
{
    const QByteArray entry = AssociationText::withExecProgram(resource(kResourceDesktopEntry), corvantaProgram);
    addFailure(failures, writeFile(applicationsFolder + QLatin1Char('/') + QLatin1String(kDesktopId), entry));
    addFailure(failures, runTool(QStringLiteral("update-desktop-database"), {applicationsFolder}, {}));
}

void writeDefaultApplication(QStringList &failures, const QString &configFolder)
{
    const QString path = configFolder + QStringLiteral("/mimeapps.list");
    QFile existing(path);
    QByteArray text;
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly)) {
            // Rewriting a list we could not read would lose the other programs' entries.
            failures.append(QStringLiteral("cannot read %1: %2").arg(path, existing.errorString()));
            return;
        }
        text = existing.readAll();
    }
    const QByteArray changed = AssociationText::withDefaultApplication(text, kCatalogType, kDesktopId);
    if (changed != text || !existing.exists())
        addFailure(failures, writeFile(path, changed));
}

void writeIcons(QStringList &failures, const QString &hicolorFolder)
{
    QDirIterator icons(kResourceIcons, QDir::Files, QDirIterator::Subdirectories);
    while (icons.hasNext()) {
        const QString icon = icons.next();
        addFailure(failures, writeFile(hicolorFolder + icon.mid(kResourceIcons.size()), resource(icon)));
    }
    // Without a cache GTK reads the folders themselves; a cache that is there has to learn
    // the new icons, or it hides them.
    if (QFileInfo::exists(hicolorFolder + QStringLiteral("/icon-theme.cache")))
        addFailure(failures, runTool(QStringLiteral("gtk-update-icon-cache"),
                                     {QStringLiteral("-f"), QStringLiteral("-t"), QStringLiteral("-q"), hicolorFolder},
                                     {}));
}

} // namespace

Folders Folders::ofCurrentUser()
{
    return {QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)};
}

QStringList registerCorvanta(const Folders &folders, const QString &corvantaProgram)
{
    QStringList failures;
    writeMimePackage(failures, folders.data + QStringLiteral("/mime"));
    writeDesktopEntry(failures, folders.data + QStringLiteral("/applications"), corvantaProgram);
    writeDefaultApplication(failures, folders.config);
    writeIcons(failures, folders.data + QStringLiteral("/icons/hicolor"));
    return failures;
}

} // namespace UserAssociation
