#include "PropertiesDialog.h"

#include "FileProperties.h"
#include "Interaction.h"
#include "OpenWithShell.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

PropertiesDialog::PropertiesDialog(Interaction::Interface &ui, QWidget *parent)
    : QDialog(parent)
    , m_ui(ui)
{
    setObjectName(QStringLiteral("frmProperties"));
    setWindowTitle(QStringLiteral("Properties"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *layout = new QVBoxLayout(this);
    auto addLabel = [&](const char *name, const char *caption) {
        auto *label = new QLabel(QString::fromLatin1(caption));
        label->setObjectName(QString::fromLatin1(name));
        label->setTextFormat(Qt::PlainText);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(label);
        return label;
    };
    // Top to bottom as shown.
    QLabel *name = addLabel("lblName", "Name:");
    QLabel *date = addLabel("lblDate", "Date:");
    QLabel *modified = addLabel("lblDateModified", "Date Last Modified:");
    QLabel *accessed = addLabel("lblDateAccessed", "Date Last Accessed:");
    QLabel *path = addLabel("lblPath", "Path:");
    QLabel *type = addLabel("lblType", "Type:");
    m_labelsInFillOrder = {date, name, path, type, modified, accessed};

    auto *executeButton = new QPushButton(QStringLiteral("Execute"));
    executeButton->setObjectName(QStringLiteral("cmdExecute"));
    auto *ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    // Enter closes the dialog; opening the file takes a deliberate press.
    executeButton->setAutoDefault(false);
    connect(executeButton, &QPushButton::clicked, this, &PropertiesDialog::execute);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(executeButton);
    buttons->addWidget(ok);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setMinimumWidth(360);
    ok->setFocus();
}

bool PropertiesDialog::UpdateInformation(const QString &strPath, const std::function<QString(const QString &)> &typeOf)
{
    const FileProperties properties = ReadFileProperties(strPath, typeOf);
    if (!properties.ok()) {
        m_ui.message(QStringLiteral("Error - ") + properties.errorDescription + QStringLiteral(". Error number - ")
                         + QString::number(properties.errorNumber) + QStringLiteral("."),
                     QStringLiteral("Error."), Interaction::Icon::None);
        return false;
    }
    for (int i = 0; i < m_labelsInFillOrder.size(); ++i)
        m_labelsInFillOrder.at(i)->setText(properties.captions.at(i));
    return true;
}

void PropertiesDialog::execute()
{
    if (m_path.isEmpty())
        return;
    OpenWithShell::open(m_ui, m_path);
    // Closed whatever the desktop did with the request.
    close();
}
