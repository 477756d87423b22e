#include "MissingFilesDialog.h"

#include "Interaction.h"
#include "MissingFilesModel.h"
#include "MovedFilesLocator.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

MissingFilesDialog::MissingFilesDialog(std::shared_ptr<MissingRecords> missing, Catalog &catalog,
                                       Interaction::Interface &interaction, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowStaysOnTopHint)
    , m_interaction(interaction)
{
    setObjectName(QStringLiteral("frmMissingRefrences"));
    setWindowTitle(QStringLiteral("Missing Files"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    auto *frame = new QGroupBox(QStringLiteral("The following files were invalid:"));
    auto *list = new QListView;
    list->setObjectName(QStringLiteral("lstMissingRefrences"));
    list->setUniformItemSizes(true); // thousands of missing files list at once
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_model = new MissingFilesModel(std::move(missing), this);
    list->setModel(m_model);
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(list);

    auto *ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("cmdOkay"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &MissingFilesDialog::acknowledge);

    m_locator = new MovedFilesLocator(catalog, *m_model, interaction, this);
    m_locate = new QPushButton(QStringLiteral("&Locate..."));
    m_locate->setObjectName(QStringLiteral("cmdLocate"));
    m_locate->setToolTip(QStringLiteral("Look for the missing files in the folder they were moved to"));
    connect(m_locate, &QPushButton::clicked, this, [this] {
        m_locate->setEnabled(false);
        m_locator->locate();
        m_locate->setEnabled(!m_locator->isRunning());
    });
    connect(m_locator, &MovedFilesLocator::finished, this, &MissingFilesDialog::locateFinished);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_locate);
    buttons->addWidget(ok);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    resize(520, 320);
}

void MissingFilesDialog::locateFinished()
{
    m_locate->setEnabled(true);
    // Every file was found again: nothing is left to warn about.
    if (m_model->rowCount() == 0)
        close();
}

void MissingFilesDialog::acknowledge()
{
    m_interaction.message(QStringLiteral("Saving list after program loads will remove references to the invalid files. "
                                         "If you wish to save the reference, do not save the filelist and correct the "
                                         "path to the files."),
                          Interaction::kMarlowindTitle, Interaction::Icon::None);
    close();
}
