#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

#include <atomic>
#include <optional>
#include <vector>

// One of the desktop's thumbnailer programs, as its ".thumbnailer" file describes it
// (group "Thumbnailer Entry": TryExec, Exec, MimeType).
struct DesktopThumbnailer {
    QString tryExec;
    QString exec;
    QStringList mimeTypes;
};

// The thumbnailers installed for the user and the system: every "*.thumbnailer"
// file in the "thumbnailers" folder of the XDG data folders. A file in an earlier
// folder hides one of the same name in a later folder, and for a MIME type the first
// thumbnailer that names it serves it.
class DesktopThumbnailers
{
public:
    DesktopThumbnailers() = default;
    // The user's data folder, then the system's, as the XDG variables say.
    static DesktopThumbnailers installed();
    static DesktopThumbnailers fromDataFolders(const QStringList &dataFolders);

    // Nothing when the text has no Exec line or no MIME type.
    static std::optional<DesktopThumbnailer> parse(const QByteArray &text);

    // The program and its arguments for one file: "%i" the input path, "%u" its URI,
    // "%o" the output path, "%s" the size, "%%" a per cent sign. Arguments are split
    // at spaces outside double quotes, and quoting is undone, as desktop entries do.
    static QStringList expandExec(const QString &exec, const QString &input, const QByteArray &uri,
                                  const QString &output, int size);

    // The thumbnailer for a MIME type, nullptr when none is installed.
    const DesktopThumbnailer *forMimeType(const QString &mimeType) const;
    bool isEmpty() const { return m_thumbnailers.empty(); }

    // Runs the thumbnailer and returns the picture it wrote; a null image when it
    // failed, wrote nothing readable, outlived the time limit (it is killed then) or
    // stop was raised meanwhile.
    static QImage run(const DesktopThumbnailer &thumbnailer, const QString &input, const QByteArray &uri, int size,
                      int timeLimitMs, const std::atomic_bool &stop);

private:
    void add(DesktopThumbnailer thumbnailer);

    std::vector<DesktopThumbnailer> m_thumbnailers;
    QHash<QString, int> m_byMimeType;
};
