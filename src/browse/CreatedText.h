#pragma once

#include <QDateTime>
#include <QString>

// What a "Created" caption shows: the file's birth time in the general date form.
// Many Linux file systems record no birth time, and no other time (the last status
// change, which a chmod moves) may stand in for it, so then the caption says so.
inline const QString kCreationNotRecorded = QStringLiteral("Not recorded");

QString CreatedText(const QDateTime &birthTime);
