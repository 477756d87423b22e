#pragma once

#include "Interaction.h"

#include <functional>

// Answers every question of a benchmark the way a user who wants the work done would:
// Yes to questions, OK to messages, the proposed text to prompts, and no file, no
// folder and no program to the rest. Keeps the last message for the benchmark to read.
class AgreeingInteraction : public Interaction::Interface
{
public:
    using Interaction::Interface::message;
    Interaction::Answer message(const Interaction::Message &message) override
    {
        lastMessage = message.text;
        return message.buttons == Interaction::Buttons::Ok ? Interaction::Answer::Ok : Interaction::Answer::Yes;
    }
    QString prompt(const QString &, const QString &, const QString &defaultText) override { return defaultText; }
    QString openFileName(const Interaction::FileDialog &) override { return {}; }
    QString saveFileName(const Interaction::FileDialog &) override { return {}; }
    QString existingFolder(const Interaction::FileDialog &) override { return {}; }
    bool openWithDefaultProgram(const QString &, std::function<void(int)>) override { return false; }

    QString lastMessage;
};
