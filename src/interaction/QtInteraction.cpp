#include "QtInteraction.h"

#include "OpenWithShell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

using namespace Interaction;

namespace {

QMessageBox::Icon toQt(Icon icon)
{
    switch (icon) {
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString startPath(const FileDialog &dialog)
{
    if (dialog.fileName.isEmpty())
        return dialog.initialFolder;
    const QFileInfo name(dialog.fileName);
    if (name.isAbsolute() || dialog.initialFolder.isEmpty())
        return dialog.fileName;
    return QDir(dialog.initialFolder).filePath(dialog.fileName);
}

} // namespace

QtInteraction::QtInteraction(QWidget *parent)
    : m_parent(parent)
{
}

QWidget *QtInteraction::dialogParent() const
{
    if (QWidget *active = QApplication::activeWindow())
        return active;
    return m_parent;
}

Answer QtInteraction::message(const Message &message)
{
    QMessageBox box(toQt(message.icon), message.title, message.text, QMessageBox::NoButton, dialogParent());
    switch (message.buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        // Escape on a Yes/No box closes it: take that as the safe "No".
        return message.buttons == Buttons::YesNo ? Answer::No
            : message.buttons == Buttons::YesNoCancel ? Answer::Cancel
                                                      : Answer::Ok;
    }
}

QString QtInteraction::prompt(const QString &text, const QString &title, const QString &defaultText)
{
    bool ok = false;
    const QString entry = QInputDialog::getText(dialogParent(), title, text, QLineEdit::Normal, defaultText, &ok);
    return ok ? entry : QString();
}

QString QtInteraction::openFileName(const FileDialog &dialog)
{
    return QFileDialog::getOpenFileName(dialogParent(), dialog.title, startPath(dialog), dialog.filter);
}

QString QtInteraction::saveFileName(const FileDialog &dialog)
{
    // The caller asks about overwriting in its own words.
    return QFileDialog::getSaveFileName(dialogParent(), dialog.title, startPath(dialog), dialog.filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString QtInteraction::existingFolder(const FileDialog &dialog)
{
    return QFileDialog::getExistingDirectory(dialogParent(), dialog.title, dialog.initialFolder);
}

bool QtInteraction::openWithDefaultProgram(const QString &path)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Qt's own Unix service ends in xdg-open too, but it cannot tell a missing opener
    // from one that fails, and some platforms (offscreen) have no service at all.
    return OpenWithShell::startOpener(path);
#else
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
#endif
}
