#pragma once

#include <QDialog>
#include <QStringList>

namespace Interaction {
class Interface;
}

// Lists the files a load could not find. It stays on top while the user works on.
class MissingFilesDialog : public QDialog
{
    Q_OBJECT

public:
    MissingFilesDialog(const QStringList &paths, Interaction::Interface &interaction, QWidget *parent = nullptr);

private:
    void acknowledge();

    Interaction::Interface &m_interaction;
};
