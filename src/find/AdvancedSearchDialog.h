#pragma once

#include "FileListRows.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <memory>
#include <vector>

class AdvancedSearch;
class Catalog;
class FileListModel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
namespace Interaction {
class Interface;
}

// frmAdvancedSearch: finds files by text in their path, by keywords or by the day
// they were last modified, each criterion with its own tick box. Modal over the main
// window, made afresh each time it opens and gone when it closes. A search runs a
// stretch of records per turn of the event loop, so the window paints and Cancel
// works while it runs; Search stays disabled meanwhile.
class AdvancedSearchDialog : public QDialog
{
    Q_OBJECT

public:
    // Clears the main window's file list, then shows a new dialog owned by owner.
    static AdvancedSearchDialog *showOver(Catalog &catalog, FileListModel &files, Interaction::Interface &ui,
                                          QWidget *owner);

    AdvancedSearchDialog(Catalog &catalog, FileListModel &files, Interaction::Interface &ui, QWidget *parent = nullptr);
    ~AdvancedSearchDialog() override;

    // The Search button.
    void RunAdvancedSearch();
    bool isSearching() const { return m_search != nullptr; }
    // How many records one turn looks at, at most; tests take one at a time.
    void setRecordsPerTurn(int records) { m_recordsPerTurn = records; }

    // Esc, the window's close button and Cancel alike: a running search stops,
    // the file list is cleared and the dialog closes.
    void reject() override;

Q_SIGNALS:
    // After every turn of a running search.
    void progressed(int searched, int total);

private:
    void buildFrames();
    void searchSomeRecords();
    void finish();
    void refuse(const QString &text);

    Catalog &m_catalog;
    FileListModel &m_files;
    Interaction::Interface &m_ui;

    QCheckBox *m_byFileName = nullptr;
    QLineEdit *m_fileName = nullptr;
    QCheckBox *m_removeSpacesInFileName = nullptr;
    QCheckBox *m_byDate = nullptr;
    QLineEdit *m_dateOne = nullptr;
    QLineEdit *m_dateTwo = nullptr;
    QCheckBox *m_byKeywords = nullptr;
    QLineEdit *m_keywords = nullptr;
    QCheckBox *m_removeSpacesInKeywords = nullptr;
    QCheckBox *m_removeSpacesInRecords = nullptr;
    QLabel *m_progress = nullptr;
    QPushButton *m_searchButton = nullptr;
    QPushButton *m_cancelButton = nullptr;

    std::unique_ptr<AdvancedSearch> m_search;
    QTimer m_turns;
    qint64 m_found = 0;
    FileListRows m_pendingRows;
    QElapsedTimer m_sinceRowsAdded;
    int m_recordsPerTurn = 4096;
};
