#pragma once

#include <QObject>
#include <QString>

class Catalog;
class FileListModel;
class QAbstractButton;
class QLineEdit;
namespace Interaction {
class Interface;
}

// The search box at the top of the main window with its Search button. The box
// shows "Search text" until the user clicks or types in it, and again after every
// search that ran to its end; Enter in the box searches as the button does.
class QuickSearchBar : public QObject
{
    Q_OBJECT

public:
    static inline const QString kPlaceholder = QStringLiteral("Search text");

    QuickSearchBar(Catalog &catalog, FileListModel &files, Interaction::Interface &ui, QLineEdit &box,
                   QAbstractButton &button, QObject *parent = nullptr);

    // Lists every record that holds the box's text, in record order, and says how
    // many were found. The details panel and the list's sort order stay as they are.
    void RunQuickSearch();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showPlaceholder();

    Catalog &m_catalog;
    FileListModel &m_files;
    Interaction::Interface &m_ui;
    QLineEdit &m_box;
};
