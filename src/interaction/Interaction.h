#pragma once

#include <QString>

// Every message box, text prompt, file dialog and "open with the default program"
// goes through this interface, so that tests can answer them from a script.
namespace Interaction {

// The two titles message boxes carry: the program's own name, and the older
// product name most boxes still show.
inline const QString kProgramTitle = QStringLiteral("Corvanta");
inline const QString kMarlowindTitle = QStringLiteral("Marlowind");

enum class Icon { None, Critical, Question, Information, Exclamation };
enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

struct Message {
    QString text;
    QString title;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
};

struct FileDialog {
    QString title;
    QString initialFolder;
    QString fileName;
    QString filter; // Qt's ";;"-separated form: "Captions (*.x);;All Files (*.*)"
};

class Interface
{
public:
    virtual ~Interface() = default;

    virtual Answer message(const Message &message) = 0;
    // Cancel gives an empty text, as does an empty entry.
    virtual QString prompt(const QString &text, const QString &title, const QString &defaultText) = 0;
    // An empty name means the user cancelled.
    virtual QString openFileName(const FileDialog &dialog) = 0;
    virtual QString saveFileName(const FileDialog &dialog) = 0;
    // A folder that exists; empty when the user cancelled. Takes the title and the
    // initial folder.
    virtual QString existingFolder(const FileDialog &dialog) = 0;
    // Hands the file to the desktop to open with its default program and returns at
    // once; false when the request could not even be handed over.
    virtual bool openWithDefaultProgram(const QString &path) = 0;

    Answer message(const QString &text, const QString &title, Icon icon, Buttons buttons = Buttons::Ok)
    {
        return message(Message{text, title, icon, buttons});
    }
};

} // namespace Interaction
