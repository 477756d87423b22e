#pragma once

#include "MissingRecords.h"

#include <QDialog>

#include <memory>

class Catalog;
class MissingFilesModel;
class MovedFilesLocator;
class QPushButton;
namespace Interaction {
class Interface;
}

// Lists the files a load could not find. It stays on top while the user works on.
class MissingFilesDialog : public QDialog
{
    Q_OBJECT

public:
    MissingFilesDialog(std::shared_ptr<MissingRecords> missing, Catalog &catalog, Interaction::Interface &interaction,
                       QWidget *parent = nullptr);

    MissingFilesModel &model() const { return *m_model; }
    MovedFilesLocator &locator() const { return *m_locator; }

private:
    void acknowledge();
    void locateFinished();

    Interaction::Interface &m_interaction;
    MissingFilesModel *m_model = nullptr;
    MovedFilesLocator *m_locator = nullptr;
    QPushButton *m_locate = nullptr;
};
