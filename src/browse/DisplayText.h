#pragma once

#include <QDateTime>
#include <QString>

// A text of 26 characters or more becomes its first 25 characters and "...";
// shorter texts stay whole. Characters are counted as the user sees them: a
// surrogate pair is never cut in half.
QString ShortenLabel(const QString &text);

// The system's general date format: the short date, followed by the short time
// unless the time is exactly midnight. An invalid date gives an empty text.
QString GeneralDate(const QDateTime &dateTime);
