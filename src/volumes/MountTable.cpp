#include "MountTable.h"

#include <QFile>
#include <QStorageInfo>

namespace {

bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

// Both tables write a space in a folder name as "\040", a tab as "\011" and so on.
QString unescapedField(QByteArrayView field)
{
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctalDigit(field[i + 1]) && isOctalDigit(field[i + 2])
            && isOctalDigit(field[i + 3])) {
            bytes += char(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0'));
            i += 3;
        } else {
            bytes += field[i];
        }
    }
    return QString::fromUtf8(bytes);
}

// The whitespace-separated fields of one line.
QList<QByteArrayView> fieldsOf(QByteArrayView line)
{
    QList<QByteArrayView> fields;
    qsizetype i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const qsizetype start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            fields.append(line.sliced(start, i - start));
    }
    return fields;
}

template<typename TakeLine>
void forEachLine(QByteArrayView text, TakeLine take)
{
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        take(text.sliced(start, end - start));
        start = end + 1;
    }
}

QByteArray readWhole(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

namespace MountTable {

QStringList mountPointsFromMountInfo(QByteArrayView mountInfo)
{
    QStringList points;
    forEachLine(mountInfo, [&](QByteArrayView line) {
        const QList<QByteArrayView> fields = fieldsOf(line);
        if (fields.size() >= 5 && fields[4].startsWith('/'))
            points.append(unescapedField(fields[4]));
    });
    return points;
}

QStringList mountPointsFromFstab(QByteArrayView fstab)
{
    QStringList points;
    forEachLine(fstab, [&](QByteArrayView line) {
        const QList<QByteArrayView> fields = fieldsOf(line);
        if (fields.size() < 2 || fields[0].startsWith('#') || !fields[1].startsWith('/'))
            return;
        points.append(unescapedField(fields[1]));
    });
    return points;
}

QStringList currentMountPoints()
{
    const QByteArray mountInfo = readWhole(QStringLiteral("/proc/self/mountinfo"));
    if (!mountInfo.isEmpty())
        return mountPointsFromMountInfo(mountInfo);
    QStringList points;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes())
        points.append(volume.rootPath());
    return points;
}

QStringList fstabMountPoints(const QString &fstabPath)
{
    return mountPointsFromFstab(readWhole(fstabPath));
}

} // namespace MountTable
