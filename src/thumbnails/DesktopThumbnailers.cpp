#include "DesktopThumbnailers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

// The string escapes of desktop entry values: \s \n \t \r \\.
QString unescapeValue(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's':
            out += QLatin1Char(' ');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        default:
            out += next;
        }
    }
    return out;
}

// Exec's arguments: split at spaces, double quotes group, and inside them a
// backslash keeps the next character.
QStringList splitArguments(const QString &exec)
{
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (int i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < exec.size())
                current += exec.at(++i);
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                current += c;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
            inArgument = true;
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inArgument)
                arguments.append(current);
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments.append(current);
    return arguments;
}

bool isInstalled(const QString &program)
{
    if (program.isEmpty())
        return false;
    if (QDir::isAbsolutePath(program))
        return QFileInfo(program).isExecutable();
    return !QStandardPaths::findExecutable(program).isEmpty();
}

} // namespace

DesktopThumbnailers DesktopThumbnailers::installed()
{
    return fromDataFolders(QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation));
}

DesktopThumbnailers DesktopThumbnailers::fromDataFolders(const QStringList &dataFolders)
{
    DesktopThumbnailers result;
    QSet<QString> seen;
    for (const QString &folder : dataFolders) {
        const QDir dir(folder + QStringLiteral("/thumbnailers"));
        const QStringList names =
            dir.entryList({QStringLiteral("*.thumbnailer")}, QDir::Files | QDir::Readable, QDir::Name);
        for (const QString &name : names) {
            if (seen.contains(name))
                continue;
            seen.insert(name);
            QFile file(dir.filePath(name));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            std::optional<DesktopThumbnailer> thumbnailer = parse(file.readAll());
            if (!thumbnailer)
                continue;
            const QString tryExec = thumbnailer->tryExec.isEmpty() ? splitArguments(thumbnailer->exec).value(0)
                                                                   : thumbnailer->tryExec;
            if (isInstalled(tryExec))
                result.add(std::move(*thumbnailer));
        }
    }
    return result;
}

std::optional<DesktopThumbnailer> DesktopThumbnailers::parse(const QByteArray &text)
{
    DesktopThumbnailer thumbnailer;
    bool inEntry = false;
    const QList<QByteArray> lines = text.split('\n');
    for (const QByteArray &rawLine : lines) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Thumbnailer Entry]");
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (!inEntry || equals < 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = unescapeValue(line.mid(equals + 1).trimmed());
        if (key == QLatin1String("Exec"))
            thumbnailer.exec = value;
        else if (key == QLatin1String("TryExec"))
            thumbnailer.tryExec = value;
        else if (key == QLatin1String("MimeType"))
            thumbnailer.mimeTypes = value.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    }
    if (thumbnailer.exec.isEmpty() || thumbnailer.mimeTypes.isEmpty())
        return std::nullopt;
    return thumbnailer;
}

QStringList DesktopThumbnailers::expandExec(const QString &exec, const QString &input, const QByteArray &uri,
                                            const QString &output, int size)
{
    QStringList arguments = splitArguments(exec);
    for (QString &argument : arguments) {
        QString expanded;
        for (int i = 0; i < argument.size(); ++i) {
            const QChar c = argument.at(i);
            if (c != QLatin1Char('%') || i + 1 == argument.size()) {
                expanded += c;
                continue;
            }
            switch (argument.at(++i).unicode()) {
            case 'i':
                expanded += input;
                break;
            case 'u':
                expanded += QString::fromUtf8(uri);
                break;
            case 'o':
                expanded += output;
                break;
            case 's':
                expanded += QString::number(size);
                break;
            case '%':
                expanded += QLatin1Char('%');
                break;
            default: // codes thumbnailers do not know are dropped
                break;
            }
        }
        argument = expanded;
    }
    return arguments;
}

void DesktopThumbnailers::add(DesktopThumbnailer thumbnailer)
{
    const int position = int(m_thumbnailers.size());
    for (const QString &mimeType : thumbnailer.mimeTypes) {
        if (!m_byMimeType.contains(mimeType))
            m_byMimeType.insert(mimeType, position);
    }
    m_thumbnailers.push_back(std::move(thumbnailer));
}

const DesktopThumbnailer *DesktopThumbnailers::forMimeType(const QString &mimeType) const
{
    const auto found = m_byMimeType.constFind(mimeType);
    return found == m_byMimeType.constEnd() ? nullptr : &m_thumbnailers[size_t(*found)];
}

QImage DesktopThumbnailers::run(const DesktopThumbnailer &thumbnailer, const QString &input, const QByteArray &uri,
                                int size, int timeLimitMs, const std::atomic_bool &stop)
{
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return {};
    const QString output = scratch.filePath(QStringLiteral("thumbnail.png"));
    QStringList arguments = expandExec(thumbnailer.exec, input, uri, output, size);
    if (arguments.isEmpty())
        return {};
    QProcess process;
    process.setProgram(arguments.takeFirst());
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted())
        return {};
    QElapsedTimer clock;
    clock.start();
    while (!process.waitForFinished(100)) {
        if (stop || clock.elapsed() > timeLimitMs || process.state() == QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(1000);
            return {};
        }
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return QImageReader(output).read();
}
