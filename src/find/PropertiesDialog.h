#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QPushButton;
namespace Interaction {
class Interface;
}

// frmProperties: the file-system properties of one catalogued file, with Execute to
// open it and OK to close. Not modal; it keeps describing the file it was opened for.
class PropertiesDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PropertiesDialog(Interaction::Interface &ui, QWidget *parent = nullptr);

    // Fills the six labels for the file at strPath. When the file cannot be read it
    // says why and returns false: the dialog is then not to be shown.
    // The dialog's path is the one its Execute opens.
    bool UpdateInformation(const QString &strPath, const std::function<QString(const QString &)> &typeOf);
    void setPath(const QString &path) { m_path = path; }
    QString path() const { return m_path; }

private:
    void execute();

    Interaction::Interface &m_ui;
    QString m_path;
    QList<QLabel *> m_labelsInFillOrder;
};
