#pragma once

#include "MissingRecords.h"

#include <QDialog>

#include <memory>

class MissingFilesModel;
namespace Interaction {
class Interface;
}

// Lists the files a load could not find. It stays on top while the user works on.
class MissingFilesDialog : public QDialog
{
    Q_OBJECT

public:
    MissingFilesDialog(std::shared_ptr<MissingRecords> missing, Interaction::Interface &interaction,
                       QWidget *parent = nullptr);

    MissingFilesModel &model() const { return *m_model; }

private:
    void acknowledge();

    Interaction::Interface &m_interaction;
    MissingFilesModel *m_model = nullptr;
};
