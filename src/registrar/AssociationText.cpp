#include "AssociationText.h"

#include <QList>

namespace AssociationText {

namespace {

// Characters that make the desktop split or interpret an unquoted Exec argument.
const QByteArray kReservedCharacters = QByteArrayLiteral(" \t\n\"'\\><~|&;$*?#()`");

QByteArray stringValueEscaped(const QByteArray &text)
{
    QByteArray escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\\': escaped += "\\\\"; break;
        case '\n': escaped += "\\n"; break;
        case '\t': escaped += "\\t"; break;
        case '\r': escaped += "\\r"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

// The lines of a text with their line ends, so that joining them gives the text back.
QList<QByteArray> linesOf(const QByteArray &text)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        end = end < 0 ? text.size() : end + 1;
        lines.append(text.mid(start, end - start));
        start = end;
    }
    return lines;
}

QByteArray withoutLineEnd(const QByteArray &line)
{
    QByteArray content = line;
    while (content.endsWith('\n') || content.endsWith('\r'))
        content.chop(1);
    return content;
}

bool isGroupHeader(const QByteArray &line)
{
    return line.trimmed().startsWith('[');
}

bool isKeyLine(const QByteArray &line, const QByteArray &key)
{
    const qsizetype equals = line.indexOf('=');
    return equals > 0 && line.left(equals).trimmed() == key;
}

} // namespace

QByteArray execArgument(const QString &argument)
{
    const QByteArray bytes = argument.toUtf8();
    QByteArray quoted;
    bool needsQuotes = bytes.isEmpty();
    for (char c : bytes) {
        if (kReservedCharacters.contains(c))
            needsQuotes = true;
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    if (needsQuotes)
        quoted = '"' + quoted + '"';
    else
        quoted = bytes;
    quoted.replace('%', "%%");
    return stringValueEscaped(quoted);
}

QByteArray withExecProgram(const QByteArray &desktopEntry, const QString &program)
{
    QList<QByteArray> lines = linesOf(desktopEntry);
    for (QByteArray &line : lines) {
        if (!isKeyLine(line, "Exec"))
            continue;
        const QByteArray value = withoutLineEnd(line.mid(line.indexOf('=') + 1)).trimmed();
        const qsizetype space = value.indexOf(' ');
        const QByteArray rest = space < 0 ? QByteArray() : value.mid(space);
        line = "Exec=" + execArgument(program) + rest + line.mid(withoutLineEnd(line).size());
    }
    return lines.join();
}

QByteArray withDefaultApplication(const QByteArray &mimeappsList, const QByteArray &mimeType,
                                  const QByteArray &desktopId)
{
    const QByteArray lineEnd = mimeappsList.contains("\r\n") ? "\r\n" : "\n";
    const QByteArray entry = mimeType + '=' + desktopId;
    const QList<QByteArray> lines = linesOf(mimeappsList);

    QList<QByteArray> result;
    bool inDefaults = false;
    bool written = false;
    qsizetype groupEnd = -1; // where the first [Default Applications] group's last entry ends
    for (const QByteArray &line : lines) {
        if (isGroupHeader(line)) {
            inDefaults = withoutLineEnd(line).trimmed() == "[Default Applications]";
            result.append(line);
            if (inDefaults && groupEnd < 0)
                groupEnd = result.size();
            continue;
        }
        if (inDefaults && isKeyLine(line, mimeType)) {
            if (!written)
                result.append(entry + line.mid(withoutLineEnd(line).size()));
            written = true;
            continue;
        }
        result.append(line);
        if (inDefaults && groupEnd >= 0 && !written && !line.trimmed().isEmpty()
            && !line.trimmed().startsWith('#'))
            groupEnd = result.size();
    }
    if (written)
        return result.join();

    if (!result.isEmpty() && !result.last().endsWith('\n'))
        result.last() += lineEnd;
    if (groupEnd >= 0) {
        result.insert(groupEnd, entry + lineEnd);
    } else {
        if (!result.isEmpty() && !withoutLineEnd(result.last()).trimmed().isEmpty())
            result.append(lineEnd);
        result.append("[Default Applications]" + lineEnd);
        result.append(entry + lineEnd);
    }
    return result.join();
}

} // namespace AssociationText
