#pragma once

#include "Interaction.h"

#include <QPointer>
#include <QWidget>

// The real dialogs: QMessageBox, QInputDialog, QFileDialog and QDesktopServices.
class QtInteraction : public Interaction::Interface
{
public:
    explicit QtInteraction(QWidget *parent = nullptr);
    void setParentWidget(QWidget *parent) { m_parent = parent; }

    using Interaction::Interface::message;
    Interaction::Answer message(const Interaction::Message &message) override;
    QString prompt(const QString &text, const QString &title, const QString &defaultText) override;
    QString openFileName(const Interaction::FileDialog &dialog) override;
    QString saveFileName(const Interaction::FileDialog &dialog) override;
    QString existingFolder(const Interaction::FileDialog &dialog) override;
    bool openWithDefaultProgram(const QString &path) override;

    // The window a dialog belongs to: the one the user is working in (the window that
    // asked), so that the dialog shows above it even when that window stays on top;
    // else the main window.
    QWidget *dialogParent() const;

private:
    QPointer<QWidget> m_parent;
};
