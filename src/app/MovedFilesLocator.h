#pragma once

#include "ScanProgressWindow.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

class Catalog;
class MissingFilesModel;
class MissingRecords;
class RelocationJob;
class QWidget;
namespace Interaction {
class Interface;
}

// Locate... of the Missing Files window: asks for the folder the missing files went
// to, walks it once on a worker thread while the progress window counts and offers
// Cancel, and puts every file found back into the catalog with its category and
// keywords.
class MovedFilesLocator : public QObject
{
    Q_OBJECT

public:
    MovedFilesLocator(Catalog &catalog, MissingFilesModel &missing, Interaction::Interface &interaction,
                      QWidget *window);
    ~MovedFilesLocator() override;

    void locate();
    bool isRunning() const { return m_job != nullptr; }
    ScanProgressWindow *progressWindow() const { return m_progress; }

    // Where the folder dialog starts: the nearest existing folder above all the
    // missing files, else the home folder.
    static QString startFolderFor(const MissingRecords &missing);

Q_SIGNALS:
    // Records went back into the catalog, or none did; the result has been told.
    void finished();

private:
    bool missingStillBelongToCatalog() const;
    void putBackWhatWasFound();

    Catalog &m_catalog;
    MissingFilesModel &m_missing;
    Interaction::Interface &m_interaction;
    QWidget *m_window;
    std::unique_ptr<RelocationJob> m_job;
    QPointer<ScanProgressWindow> m_progress;
    // The missing positions the walk looks for, in the order given to it.
    std::vector<int> m_searched;
};
