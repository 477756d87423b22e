#pragma once

#include <QByteArrayView>
#include <QString>

// A catalogued file as one text record: full path, "/", category index, ">", keywords.
// Records are always taken apart at their last "/" and last ">", never at the first
// "/": on Linux every path contains slashes.

inline const QString kSentinelRecord = QStringLiteral("ForTestingPurposes,,18712+-*648392/30000>");

struct ParsedRecord {
    QString path;
    int categoryIndex = 0;
    QString keywords;
};

QString MakeFileRecord(const QString &path, int categoryIndex, const QString &keywords);
ParsedRecord ParseFileRecord(const QString &record);
QString SetRecordCategory(const QString &record, int newIndex);

// The parts of ParseFileRecord, for hot paths that need only one of them.
QString recordPath(const QString &record);
int recordCategoryIndex(const QString &record);
QString recordKeywords(const QString &record);
// The three parts of a record as views into it, without copying.
struct RecordViews {
    QStringView path;
    QStringView indexText;
    QStringView keywords;
};
RecordViews recordViews(const QString &record);
// The same parts of a record as the record list stores it, in UTF-8.
struct RecordUtf8Views {
    QByteArrayView path;
    QByteArrayView keywords;
};
RecordUtf8Views recordUtf8Views(QByteArrayView record);

// True when the record's index field reads exactly as MakeFileRecord would write index.
bool recordIndexFieldIs(const QString &record, int index);

// Reads a number the way the record format does: leading blanks skipped, an optional
// sign, then digits up to the first character that cannot continue the number.
// Anything unreadable is 0; values beyond int are clamped.
int leadingNumber(QStringView text);

bool isSentinel(const QString &record);
