#pragma once

#include "Interaction.h"

#include <QList>
#include <QStringList>

#include <functional>

// A scripted stand-in for every dialog: it records what was asked and answers from
// the queues a test fills. A question nobody scripted is recorded in `unexpected`
// and answered with the safe choice (No, Cancel, an empty text), so tests can
// assert that no stray dialog appeared.
class ScriptedInteraction : public Interaction::Interface
{
public:
    struct Prompt {
        QString text;
        QString title;
        QString defaultText;
    };

    // What was asked, in order.
    QList<Interaction::Message> messages;
    QList<Prompt> prompts;
    QList<Interaction::FileDialog> openDialogs;
    QList<Interaction::FileDialog> saveDialogs;
    QList<Interaction::FileDialog> folderDialogs;
    QStringList openedPrograms;
    QStringList unexpected;

    // What to answer, consumed from the front.
    QList<Interaction::Answer> answers;
    QStringList promptAnswers;
    QStringList openFileAnswers;
    QStringList saveFileAnswers;
    QStringList folderAnswers;
    // Takes the requests to open a file when set (the real opener, say); otherwise
    // every request is taken.
    std::function<bool(const QString &)> opener;

    using Interaction::Interface::message;
    Interaction::Answer message(const Interaction::Message &message) override;
    QString prompt(const QString &text, const QString &title, const QString &defaultText) override;
    QString openFileName(const Interaction::FileDialog &dialog) override;
    QString saveFileName(const Interaction::FileDialog &dialog) override;
    QString existingFolder(const Interaction::FileDialog &dialog) override;
    bool openWithDefaultProgram(const QString &path) override;

    QStringList messageTexts() const;
    // Each message box as one line, "Title|Icon|Buttons|text", so that a whole
    // conversation compares at once.
    static QString shown(const Interaction::Message &message);
    QStringList shownMessages() const;
};
