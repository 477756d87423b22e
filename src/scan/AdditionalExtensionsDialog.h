#pragma once

#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

class AppSettings;
class ExtensionTable;
class QListWidget;
class QListWidgetItem;
class QPushButton;
namespace Interaction {
class Interface;
}

// Add Additional Extensions (frmAdditionalExtensions): edits the list of further
// extensions the next Search looks for, and loads and saves it as an ".ext" file.
// Continue, Load and Save replace the extension table; Cancel leaves it alone.
class AdditionalExtensionsDialog : public QWidget {
    Q_OBJECT

public:
    // enableScanBoxes frees the scan dialog's boxes of every group not ticked as a whole.
    AdditionalExtensionsDialog(ExtensionTable &extensions, AppSettings &settings, Interaction::Interface &interaction,
                               std::function<void()> enableScanBoxes, QWidget *parent = nullptr);

    static inline const QString kFileDialogTitle = QStringLiteral("Choose an extension list");
    static inline const QString kFileFilter = QStringLiteral("Extension lists (*.ext);;All Files (*.*)");
    static constexpr int kMaximumEntries = 2500;

    QStringList displayedEntries() const;
    // Where the file dialog opens: the list file last loaded or saved.
    QString initialFolder() const { return m_initialFolder; }

    // The folder used before any list was loaded or saved.
    static QString defaultInitialFolder();

private:
    void showTableEntries();
    void displayEntries(const QStringList &tableEntries);
    QStringList tableEntriesFromDisplay() const;
    QListWidgetItem *selectedEntry() const;
    void rememberListFile(const QString &fileName);

    // The typed extension without blanks around it; empty when there is none or it is refused.
    QString typedExtension(const QString &answer);
    void addExtension();
    void modifyExtension();
    void deleteExtension();
    void loadList();
    void saveList();
    void continueWithList();

    ExtensionTable &m_extensions;
    AppSettings &m_settings;
    Interaction::Interface &m_interaction;
    QString m_initialFolder;
    // The list is filled a moment after the window opens, as it always was.
    QTimer m_firstTick;

    QListWidget *m_list = nullptr;
};
