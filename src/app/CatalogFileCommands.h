#pragma once

#include "MissingRecords.h"
#include "OpenFileList.h"

#include <QObject>

#include <memory>

class AppSettings;
class Catalog;
namespace Interaction {
class Interface;
}

// File > New, Open, Save and the offer to save on closing: the dialogs, messages and
// settings around loading and saving a catalog file.
class CatalogFileCommands : public QObject
{
    Q_OBJECT

public:
    enum class SaveOutcome { Saved, Cancelled, Failed };

    static inline const QString kFileFilter = QStringLiteral("Marlowind Database (*.kvd);;All Files (*.*)");
    static inline const QString kSupportAddress = QStringLiteral("support@corvanta.org");

    CatalogFileCommands(Catalog &catalog, Interaction::Interface &interaction, AppSettings &settings,
                        QObject *parent = nullptr);

    // The catalog of a start: the command line's file, else the last one chosen,
    // else an empty catalog.
    void loadAtStartup(const QString &commandLine);
    void newCatalog();
    void open();
    SaveOutcome save();
    // Offers to save unsaved changes; false when the window must stay open.
    bool confirmClose();

    // The file the catalog in the window was loaded from or last saved to; empty for a
    // catalog that has none yet (an empty start, File > New).
    QString catalogFile() const { return m_catalogFile; }

    // The folder the program lives in: the dialogs' first folder before any choice.
    static QString programFolder();

Q_SIGNALS:
    // The catalog was emptied or replaced: whatever lists its files is stale.
    void catalogReplaced();
    // After every load: the records of the files it could not find, for the Missing
    // Files window; empty when it found them all.
    void missingFilesFound(const std::shared_ptr<MissingRecords> &missing);
    // After every load: the files it kept that sit on drives that are not connected.
    void offlineFilesFound(const QList<OfflineVolumeFiles> &volumes);
    // A catalog file is being read: so many of its file lines so far. Sent a few
    // times a second while the load runs, and not at all for a quick one.
    void loadProgress(const QString &path, int filesRead);
    void loadFinished();

private:
    void loadFile(const QString &path);
    CatalogLoadReport loadOffThisThread(const QString &path);
    void reportMendedRecords(const QString &path, const CatalogLoadReport &report);
    void reportLoad(const QString &path, const CatalogLoadReport &report);
    void reportUnopened(const QString &path, const QString &reason);
    bool refuseTooManyCategories(int categoryLines);
    static QString folderOf(const QString &path);

    Catalog &m_catalog;
    Interaction::Interface &m_interaction;
    AppSettings &m_settings;
    QString m_catalogFile;
};
