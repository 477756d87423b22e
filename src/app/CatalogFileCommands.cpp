#include "CatalogFileCommands.h"

#include "AppSettings.h"
#include "Catalog.h"
#include "CatalogFileFormat.h"
#include "CatalogFileWriter.h"
#include "CategoryLines.h"
#include "ConnectedDrives.h"
#include "FileAccess.h"
#include "Interaction.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <atomic>

using Interaction::Answer;
using Interaction::Buttons;
using Interaction::Icon;

namespace {

// A load this quick shows nothing and runs no event loop of its own.
constexpr int kQuickLoadMSecs = 20;
constexpr int kProgressIntervalMSecs = 100;

} // namespace

CatalogFileCommands::CatalogFileCommands(Catalog &catalog, Interaction::Interface &interaction, AppSettings &settings,
                                         QObject *parent)
    : QObject(parent)
    , m_catalog(catalog)
    , m_interaction(interaction)
    , m_settings(settings)
{
}

QString CatalogFileCommands::programFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString CatalogFileCommands::catalogsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString CatalogFileCommands::withCatalogExtension(const QString &path)
{
    // The desktop knows a catalog by its extension alone; a name given one of its
    // own ("mine.v2") is the user's choice.
    if (path.isEmpty() || QFileInfo(path).fileName().contains(QLatin1Char('.')) || QFileInfo(path).isDir())
        return path;
    return path + QStringLiteral(".kvd");
}

QString CatalogFileCommands::folderOf(const QString &path, const QString &fallback)
{
    if (path.isEmpty())
        return fallback;
    const QFileInfo info(path);
    return info.isDir() ? path : info.absolutePath();
}

void CatalogFileCommands::loadAtStartup(const QString &commandLine)
{
    QString path = commandLine.isEmpty() ? m_settings.defaultFilePath() : commandLine;
    // A folder (or anything else that is not a file) is no catalog to load.
    if (!path.isEmpty() && !QFileInfo(path).isFile())
        path.clear();
    if (path.isEmpty()) {
        m_catalog.resetToEmpty();
        m_catalogFile.clear();
        Q_EMIT catalogReplaced();
    } else {
        loadFile(path);
    }
    m_catalog.markSaved();
}

void CatalogFileCommands::newCatalog()
{
    if (m_interaction.message(QStringLiteral("Are you sure you want to clear the current list and start a new list?"),
                              Interaction::kProgramTitle, Icon::None, Buttons::YesNo)
        == Answer::No)
        return;
    // Deliberately leaves the saved flag alone: a New never offers to save.
    const bool saved = m_catalog.FileListSaved();
    m_catalog.resetToEmpty();
    m_catalogFile.clear();
    saved ? m_catalog.markSaved() : m_catalog.markChanged();
    Q_EMIT catalogReplaced();
}

void CatalogFileCommands::open()
{
    const QString chosen = m_interaction.openFileName(
        {QStringLiteral("Open"), folderOf(m_settings.defaultFilePath(), programFolder()), m_settings.defaultFilePath(),
         kFileFilter});
    if (chosen.isEmpty())
        return;

    if (!m_catalog.FileListSaved()) {
        const Answer answer = m_interaction.message(QStringLiteral("Do you wish to save changes to current FileList?"),
                                                    Interaction::kProgramTitle, Icon::None, Buttons::YesNo);
        if (answer == Answer::Yes && save() != SaveOutcome::Saved)
            return;
    }

    // Checked before the catalog is cleared, and without blocking on a named pipe.
    if (const auto refusal = FileAccess::refusalToRead(chosen)) {
        reportUnopened(chosen, refusal->text());
        return;
    }
    // Only a name that now stands for the catalog in the window is remembered: after a
    // failed open the next Save must not propose the file that could not be read.
    m_settings.setDefaultFilePath(chosen);
    loadFile(chosen);
}

void CatalogFileCommands::loadFile(const QString &path)
{
    m_catalog.clear();
    m_catalogFile = path;
    Q_EMIT catalogReplaced();
    reportLoad(path, loadOffThisThread(path));
}

CatalogLoadReport CatalogFileCommands::loadOffThisThread(const QString &path)
{
    // A million records take a second or more, most of it spent asking the disk
    // whether each file still exists. The load runs on a worker into a catalog of
    // its own while this thread keeps the windows painted and says how far it is;
    // the catalog is handed over once complete.
    Catalog loaded;
    std::atomic<int> filesRead{0};
    CatalogLoadReport report;
    QThread *worker = QThread::create([&] {
        const std::shared_ptr<const OfflineVolumes> drives = ConnectedDrives::now();
        report = OpenFileList(
            path, loaded,
            [&filesRead](QByteArrayView file) {
                filesRead.fetch_add(1, std::memory_order_relaxed);
                return fileExistsOnDisk(file);
            },
            [&drives](QByteArrayView file) { return drives->offlineVolumeOfUtf8(file); });
        // Here rather than at the first edit, which would freeze the window for it.
        loaded.records().buildPathIndex();
    });
    QEventLoop untilLoaded;
    connect(worker, &QThread::finished, &untilLoaded, &QEventLoop::quit);
    QTimer progress;
    progress.setInterval(kProgressIntervalMSecs);
    connect(&progress, &QTimer::timeout, this,
            [&] { Q_EMIT loadProgress(path, filesRead.load(std::memory_order_relaxed)); });
    worker->start();
    progress.start();
    // The windows stay alive, but nothing may use the catalog until it is back.
    if (!worker->wait(QDeadlineTimer(kQuickLoadMSecs)))
        untilLoaded.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    delete worker;
    progress.stop();
    m_catalog.takeContentsOf(loaded);
    Q_EMIT loadFinished();
    return report;
}

void CatalogFileCommands::reportUnopened(const QString &path, const QString &reason)
{
    m_interaction.message(QStringLiteral("The catalog file %1 could not be opened: %2.").arg(path, reason),
                          Interaction::kProgramTitle, Icon::Critical);
}

void CatalogFileCommands::reportLoad(const QString &path, const CatalogLoadReport &report)
{
    if (!report.opened && report.stop) {
        reportUnopened(path, report.stop->reason);
        return;
    }
    Q_EMIT missingFilesFound(m_catalog.missingRecords());
    Q_EMIT offlineFilesFound(report.offlineVolumes);
    reportMendedRecords(path, report);
    if (!report.stop)
        return;
    const QString where = report.stop->line > 0 ? QStringLiteral(" at line %1").arg(report.stop->line) : QString();
    m_interaction.message(QStringLiteral("The catalog file %1 could not be read completely. Reading stopped%2: %3.\n"
                                         "The catalog holds what was read before that point.")
                              .arg(path, where, report.stop->reason),
                          Interaction::kProgramTitle, Icon::Exclamation);
}

void CatalogFileCommands::reportMendedRecords(const QString &path, const CatalogLoadReport &report)
{
    QStringList lines;
    if (report.keywordsMended > 0)
        lines << QStringLiteral("In %1 files the keywords held \"/\", \">\", a double quote or a line break, which a "
                                "catalog cannot keep in keywords; they were read as spaces.")
                     .arg(report.keywordsMended);
    if (report.categoryNamesMended > 0)
        lines << QStringLiteral("%1 category names held \"\\\", a double quote or a line break, which a catalog cannot "
                                "keep in a name; they were read as spaces, a double quote as '.")
                     .arg(report.categoryNamesMended);
    if (!report.categoriesPutAtTopLevel.isEmpty())
        lines << (report.categoriesPutAtTopLevel.size() == 1
                      ? QStringLiteral("1 category was put at the top level with its files, because the file does not "
                                       "place it under a category it holds: %1.")
                      : QStringLiteral("%1 categories were put at the top level with their files, because the file "
                                       "does not place them under a category it holds: %2.")
                            .arg(report.categoriesPutAtTopLevel.size()))
                     .arg(report.categoriesPutAtTopLevel.mid(0, 5).join(QStringLiteral(", "))
                          + (report.categoriesPutAtTopLevel.size() > 5 ? QStringLiteral(", ...") : QString()));
    if (const qsizetype renamed = report.temporaryCategoriesRenamed.size()) {
        const QString names = report.temporaryCategoriesRenamed.join(QStringLiteral(", "));
        lines << (renamed == 1 ? QStringLiteral("1 more top-level category was named \"%1\", the name of the category "
                                                "whose files are never saved; it was renamed %2 and is saved with its files.")
                                     .arg(Catalog::kTemporaryName, names)
                               : QStringLiteral("%1 more top-level categories were named \"%2\", the name of the category "
                                                "whose files are never saved; they were renamed %3 and are saved with their "
                                                "files.")
                                     .arg(QString::number(renamed), Catalog::kTemporaryName, names));
    }
    if (report.filesOfUnnamedCategories > 0)
        lines << QStringLiteral("%1 files were filed under a category without a name; they are now in the category \"%2\".")
                     .arg(report.filesOfUnnamedCategories)
                     .arg(CategoryLines::kUnnamedCategoryName);
    if (report.filesWithoutCategory > 0)
        lines << QStringLiteral("%1 files were filed under a category that is not in the file; they are now in no category.")
                     .arg(report.filesWithoutCategory);
    if (!report.unholdablePaths.isEmpty()) {
        lines << QStringLiteral("%1 files were left out because their paths hold a double quote or a line break, "
                                "which a catalog file cannot store, for example:")
                     .arg(report.unholdablePaths.size());
        for (const QString &leftOut : report.unholdablePaths.mid(0, 3))
            lines << QStringLiteral("    ") + QString(leftOut).replace(QLatin1Char('\n'), QStringLiteral("\\n")).replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    }
    if (lines.isEmpty())
        return;
    m_interaction.message(QStringLiteral("While reading the catalog file %1:\n").arg(path) + lines.join(QLatin1Char('\n')),
                          Interaction::kProgramTitle, Icon::Information);
}

bool CatalogFileCommands::refuseTooManyCategories(int categoryLines)
{
    if (categoryLines <= CatalogFileFormat::kMaxCategories)
        return false;
    m_interaction.message(QStringLiteral("This catalog has %1 categories, but a catalog file holds at most %2. "
                                         "Please delete some categories, then save again.")
                              .arg(categoryLines)
                              .arg(CatalogFileFormat::kMaxCategories),
                          Interaction::kProgramTitle, Icon::Critical);
    return true;
}

CatalogFileCommands::SaveOutcome CatalogFileCommands::save()
{
    if (refuseTooManyCategories(CatalogFileWriter(m_catalog, m_catalog.findTemporary()).categoryLineCount()))
        return SaveOutcome::Failed;

    // The catalog's own file comes first: a catalog opened from the command line or the
    // desktop is saved back where it came from, not over the last file chosen in a dialog.
    const QString proposed = m_catalogFile.isEmpty() ? m_settings.defaultFilePath() : m_catalogFile;
    // A new catalog is not the program's: its first save starts among the user's files.
    const QString chosen = withCatalogExtension(
        m_interaction.saveFileName({QStringLiteral("Save As"), folderOf(proposed, catalogsFolder()), proposed, kFileFilter}));
    if (chosen.isEmpty())
        return SaveOutcome::Cancelled;
    m_settings.setDefaultFilePath(chosen);

    if (const std::optional<QString> refusal = FileAccess::saveTarget(chosen).refusal) {
        m_interaction.message(QStringLiteral("The catalog cannot be saved as %1: %2. Please choose another name.")
                                  .arg(QDir::toNativeSeparators(chosen), *refusal),
                              Interaction::kProgramTitle, Icon::Critical);
        return SaveOutcome::Failed;
    }
    if (QFileInfo::exists(chosen)
        && m_interaction.message(chosen + QStringLiteral(" already exists. Do you wish to overwrite?"), Interaction::kProgramTitle,
                                 Icon::Critical, Buttons::YesNo)
            == Answer::No)
        return SaveOutcome::Cancelled;

    if (m_catalog.findTemporary() != -1)
        m_interaction.message(QStringLiteral("Temporary folder will not be saved. If you want to save the files in the "
                                             "folder, please drag the files to their respective folders."),
                              Interaction::kProgramTitle, Icon::Critical);

    // The new file replaces the old one only once it is complete.
    if (const auto error = CatalogFileWriter(m_catalog, m_catalog.findTemporary()).saveTo(chosen)) {
        m_interaction.message(QStringLiteral("An error has occured when trying to save. Please report the error to ")
                                  + kSupportAddress + QStringLiteral(".\n") + QString::number(error->number)
                                  + QStringLiteral(" - ") + error->description + QStringLiteral("."),
                              Interaction::kMarlowindTitle, Icon::Critical);
        return SaveOutcome::Failed;
    }
    m_catalogFile = chosen;
    m_catalog.markSaved();
    m_interaction.message(QStringLiteral("Marlowind Database successfully saved."), Interaction::kProgramTitle, Icon::Information);
    return SaveOutcome::Saved;
}

bool CatalogFileCommands::confirmClose()
{
    if (m_catalog.FileListSaved())
        return true;
    const Answer answer = m_interaction.message(
        QStringLiteral("Your filelist has been changed since you last saved it. Would you like to save now?"),
        Interaction::kProgramTitle, Icon::Critical, Buttons::YesNoCancel);
    if (answer == Answer::Cancel)
        return false;
    // A save that was cancelled or failed keeps the window open: the changes would be lost.
    return answer == Answer::No || save() == SaveOutcome::Saved;
}
