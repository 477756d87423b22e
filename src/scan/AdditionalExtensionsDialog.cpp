#include "AdditionalExtensionsDialog.h"

#include "AppSettings.h"
#include "ExtensionListFile.h"
#include "ExtensionTable.h"
#include "Interaction.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton *makeButton(const QString &caption, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

// A name typed without any extension gets the list files' own.
QString withListExtension(const QString &fileName)
{
    return QFileInfo(fileName).fileName().contains(QLatin1Char('.')) ? fileName : fileName + QStringLiteral(".ext");
}

} // namespace

AdditionalExtensionsDialog::AdditionalExtensionsDialog(ExtensionTable &extensions, AppSettings &settings,
                                                       Interaction::Interface &interaction,
                                                       std::function<void()> enableScanBoxes, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_extensions(extensions)
    , m_settings(settings)
    , m_interaction(interaction)
{
    setObjectName(QStringLiteral("frmAdditionalExtensions"));
    setWindowTitle(QStringLiteral("Add Additional Extensions"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *frame = new QGroupBox(QStringLiteral("Additional Extensions"), this);
    m_list = new QListWidget(frame);
    m_list->setObjectName(QStringLiteral("lstExtensions"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    auto *add = makeButton(QStringLiteral("Add Extension"), QStringLiteral("cmdAdd"), frame);
    auto *modify = makeButton(QStringLiteral("Modify Extension"), QStringLiteral("cmdModify"), frame);
    auto *remove = makeButton(QStringLiteral("Delete Extension"), QStringLiteral("cmdDelete"), frame);
    auto *load = makeButton(QStringLiteral("Load extension list"), QStringLiteral("cmdLoadExtension"), frame);
    auto *save = makeButton(QStringLiteral("Save extension list"), QStringLiteral("cmdSaveExtension"), frame);
    auto *frameButtons = new QVBoxLayout;
    for (QPushButton *button : {add, modify, remove, load, save})
        frameButtons->addWidget(button);
    frameButtons->addStretch();
    auto *frameLayout = new QHBoxLayout(frame);
    frameLayout->addWidget(m_list);
    frameLayout->addLayout(frameButtons);

    auto *continueButton = makeButton(QStringLiteral("Continue"), QStringLiteral("cmdContinue"), this);
    continueButton->setDefault(true);
    auto *cancel = makeButton(QStringLiteral("Cancel"), QStringLiteral("cmdCancel"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(continueButton);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);

    connect(add, &QPushButton::clicked, this, &AdditionalExtensionsDialog::addExtension);
    connect(modify, &QPushButton::clicked, this, &AdditionalExtensionsDialog::modifyExtension);
    connect(remove, &QPushButton::clicked, this, &AdditionalExtensionsDialog::deleteExtension);
    connect(load, &QPushButton::clicked, this, &AdditionalExtensionsDialog::loadList);
    connect(save, &QPushButton::clicked, this, &AdditionalExtensionsDialog::saveList);
    connect(continueButton, &QPushButton::clicked, this, &AdditionalExtensionsDialog::continueWithList);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);

    m_firstTick.setObjectName(QStringLiteral("tmr1"));
    m_firstTick.setSingleShot(true);
    m_firstTick.setInterval(0);
    connect(&m_firstTick, &QTimer::timeout, this, &AdditionalExtensionsDialog::showTableEntries);
    m_firstTick.start();
    if (enableScanBoxes)
        enableScanBoxes();
}

QString AdditionalExtensionsDialog::defaultInitialFolder()
{
    // Where a Windows user kept their documents; the home folder is that place here.
    return QDir::homePath();
}

void AdditionalExtensionsDialog::showTableEntries()
{
    displayEntries(m_extensions.extensions());
    m_initialFolder = m_settings.text(AppSettings::kInitDir, defaultInitialFolder());
}

void AdditionalExtensionsDialog::displayEntries(const QStringList &tableEntries)
{
    for (const QString &entry : tableEntries) {
        // Every file covers whatever came before it in the list.
        if (entry == ExtensionTable::kAllFiles)
            m_list->clear();
        m_list->addItem(ExtensionTable::toDisplayText(entry));
    }
}

QStringList AdditionalExtensionsDialog::displayedEntries() const
{
    QStringList entries;
    for (int row = 0; row < m_list->count(); ++row)
        entries.append(m_list->item(row)->text());
    return entries;
}

QStringList AdditionalExtensionsDialog::tableEntriesFromDisplay() const
{
    QStringList entries;
    for (int row = 0; row < m_list->count(); ++row)
        entries.append(ExtensionTable::fromDisplayText(m_list->item(row)->text()));
    return entries;
}

QListWidgetItem *AdditionalExtensionsDialog::selectedEntry() const
{
    QListWidgetItem *current = m_list->currentItem();
    return current && current->isSelected() ? current : nullptr;
}

void AdditionalExtensionsDialog::rememberListFile(const QString &fileName)
{
    m_initialFolder = fileName;
    m_settings.setText(AppSettings::kInitDir, fileName);
}

QString AdditionalExtensionsDialog::typedExtension(const QString &answer)
{
    // The list file reads an item up to a comma and skips the blanks before it: typed
    // as they are, "jpg,png" would come back as "jpg", " jpg" as "jpg".
    const QString extension = answer.trimmed();
    if (!extension.contains(QLatin1Char(',')))
        return extension;
    m_interaction.message(QStringLiteral("An extension cannot hold a comma. Please add each extension on its own."),
                          Interaction::kMarlowindTitle, Interaction::Icon::Critical);
    return QString();
}

void AdditionalExtensionsDialog::addExtension()
{
    const QString answer = m_interaction.prompt(
        QStringLiteral("What extension would you like to add?\r\nExample - ini"), Interaction::kMarlowindTitle, QString());
    const QString extension = typedExtension(answer);
    if (extension.isEmpty())
        return;
    if (m_list->count() >= kMaximumEntries) {
        m_interaction.message(QStringLiteral("No more than %1 extensions can be listed.").arg(kMaximumEntries),
                              Interaction::kMarlowindTitle, Interaction::Icon::Critical);
        return;
    }
    m_list->addItem(extension);
}

void AdditionalExtensionsDialog::modifyExtension()
{
    QListWidgetItem *selected = selectedEntry();
    const QString old = selected ? selected->text() : QString();
    const QString answer = m_interaction.prompt(QStringLiteral("What would you like to change the extension ") + old
                                                    + QStringLiteral("to?\r\nExample - ini"),
                                                Interaction::kMarlowindTitle, old);
    const QString extension = typedExtension(answer);
    if (extension.isEmpty())
        return;
    delete selected;
    m_list->addItem(extension);
}

void AdditionalExtensionsDialog::deleteExtension()
{
    delete selectedEntry();
}

void AdditionalExtensionsDialog::loadList()
{
    const QString fileName = m_interaction.openFileName({kFileDialogTitle, m_initialFolder, QString(), kFileFilter});
    m_list->clear();
    if (fileName.isEmpty())
        return;
    m_settings.setText(AppSettings::kInitDir, m_initialFolder);
    // A file that cannot be read to its end still gives what was read before.
    const ExtensionListFile::ReadResult read = ExtensionListFile::read(fileName);
    if (read.extensions.isEmpty())
        return;
    rememberListFile(fileName);
    m_extensions.setExtensions(read.extensions);
    displayEntries(m_extensions.extensions());
}

void AdditionalExtensionsDialog::saveList()
{
    QString fileName = m_interaction.saveFileName({kFileDialogTitle, m_initialFolder, QString(), kFileFilter});
    if (fileName.isEmpty())
        return;
    fileName = withListExtension(fileName);
    if (QFileInfo::exists(fileName)
        && m_interaction.message(fileName + QStringLiteral(" already exists. Do you want to overwrite?"), Interaction::kMarlowindTitle,
                                 Interaction::Icon::None, Interaction::Buttons::YesNo)
            != Interaction::Answer::Yes)
        return;
    const QStringList entries = tableEntriesFromDisplay();
    m_extensions.setExtensions(entries);
    if (const auto error = ExtensionListFile::write(fileName, entries)) {
        m_interaction.message(QStringLiteral("The extension list could not be saved to ") + fileName
                                  + QStringLiteral(": ") + *error,
                              Interaction::kMarlowindTitle, Interaction::Icon::Critical);
        return;
    }
    // An empty list is an empty file, and does not become the list last used.
    if (!entries.isEmpty())
        rememberListFile(fileName);
}

void AdditionalExtensionsDialog::continueWithList()
{
    m_extensions.setExtensions(tableEntriesFromDisplay());
    close();
}
