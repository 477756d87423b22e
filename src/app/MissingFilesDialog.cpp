#include "MissingFilesDialog.h"

#include "Interaction.h"

#include <QGroupBox>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>
#include <QVBoxLayout>

MissingFilesDialog::MissingFilesDialog(const QStringList &paths, Interaction::Interface &interaction, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
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
    list->setModel(new QStringListModel(paths, list));
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(list);

    auto *ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("cmdOkay"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &MissingFilesDialog::acknowledge);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(ok, 0, Qt::AlignRight);
    resize(520, 320);
}

void MissingFilesDialog::acknowledge()
{
    m_interaction.message(QStringLiteral("Saving list after program loads will remove references to the invalid files. "
                                         "If you wish to save the reference, do not save the filelist and correct the "
                                         "path to the files."),
                          Interaction::kMarlowindTitle, Interaction::Icon::None);
    close();
}
