#include "ScriptedInteraction.h"

using namespace Interaction;

Answer ScriptedInteraction::message(const Message &message)
{
    messages.append(message);
    if (!answers.isEmpty())
        return answers.takeFirst();
    if (message.buttons == Buttons::Ok)
        return Answer::Ok;
    unexpected.append(QStringLiteral("message: ") + message.text);
    return message.buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
}

QString ScriptedInteraction::prompt(const QString &text, const QString &title, const QString &defaultText)
{
    prompts.append({text, title, defaultText});
    if (!promptAnswers.isEmpty())
        return promptAnswers.takeFirst();
    unexpected.append(QStringLiteral("prompt: ") + text);
    return {};
}

QString ScriptedInteraction::openFileName(const FileDialog &dialog)
{
    openDialogs.append(dialog);
    if (!openFileAnswers.isEmpty())
        return openFileAnswers.takeFirst();
    unexpected.append(QStringLiteral("open dialog: ") + dialog.title);
    return {};
}

QString ScriptedInteraction::saveFileName(const FileDialog &dialog)
{
    saveDialogs.append(dialog);
    if (!saveFileAnswers.isEmpty())
        return saveFileAnswers.takeFirst();
    unexpected.append(QStringLiteral("save dialog: ") + dialog.title);
    return {};
}

QString ScriptedInteraction::existingFolder(const FileDialog &dialog)
{
    folderDialogs.append(dialog);
    if (!folderAnswers.isEmpty())
        return folderAnswers.takeFirst();
    unexpected.append(QStringLiteral("folder dialog: ") + dialog.title);
    return {};
}

bool ScriptedInteraction::openWithDefaultProgram(const QString &path)
{
    openedPrograms.append(path);
    return opener ? opener(path) : true;
}

QString ScriptedInteraction::shown(const Message &m)
{
    static const char *const icons[] = {"None", "Critical", "Question", "Information", "Exclamation"};
    static const char *const buttons[] = {"Ok", "YesNo", "YesNoCancel"};
    return QStringLiteral("%1|%2|%3|%4")
        .arg(m.title, QLatin1String(icons[int(m.icon)]), QLatin1String(buttons[int(m.buttons)]), m.text);
}

QStringList ScriptedInteraction::shownMessages() const
{
    QStringList lines;
    for (const Message &m : messages)
        lines.append(shown(m));
    return lines;
}

QStringList ScriptedInteraction::messageTexts() const
{
    QStringList texts;
    for (const Message &m : messages)
        texts.append(m.text);
    return texts;
}
