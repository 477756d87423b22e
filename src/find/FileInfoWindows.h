#pragma once

#include "AboutBox.h"
#include "PropertiesDialog.h"
#include "QuotationsWindow.h"

#include <QObject>
#include <QPointer>

class FileTypeCache;
class QAbstractItemView;
namespace Interaction {
class Interface;
}

// The main window's door to a file's properties, to opening files with their program
// and to the About box. Each window exists at most once, as a window of its own over
// the main window (never modal); asking for it again brings it to the front as it is.
class FileInfoWindows : public QObject
{
    Q_OBJECT

public:
    FileInfoWindows(Interaction::Interface &ui, FileTypeCache &types, QAbstractItemView &fileList,
                    QObject *parent = nullptr);
    ~FileInfoWindows() override;

    // File > Properties: on an empty list it asks for a file first.
    void showPropertiesFromMenu();
    // A double click on the list: the dialog for the selected row, or nothing when no
    // row is selected or its file cannot be read.
    PropertiesDialog *showProperties();
    // The popup's Shell Execute: opens the selected row's file.
    void shellExecuteSelected();
    // The details panel's Execute.
    void execute(const QString &shownPath);

    AboutBox *showAbout();
    QuotationsWindow *showQuotations();

    void setSystemInfoSource(const AboutBox::SystemInfoSource &source) { m_systemInfo = source; }

    PropertiesDialog *properties() const { return m_properties; }
    AboutBox *about() const { return m_about; }
    QuotationsWindow *quotations() const { return m_quotations; }
    qint16 quoteStep() const { return m_quoteStep; }

private:
    QString selectedPath() const;

    Interaction::Interface &m_ui;
    FileTypeCache &m_types;
    QAbstractItemView &m_fileList;
    AboutBox::SystemInfoSource m_systemInfo;
    // How far the quotations have got, for the whole run.
    qint16 m_quoteStep = 0;
    QPointer<PropertiesDialog> m_properties;
    QPointer<AboutBox> m_about;
    QPointer<QuotationsWindow> m_quotations;
};
