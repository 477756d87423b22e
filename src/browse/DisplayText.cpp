#include "DisplayText.h"

#include <QLocale>

namespace {

constexpr int kLabelLimit = 25;

} // namespace

QString ShortenLabel(const QString &text)
{
    qsizetype end = 0;
    for (int characters = 0; characters < kLabelLimit; ++characters) {
        if (end >= text.size())
            return text;
        end += (text.at(end).isHighSurrogate() && end + 1 < text.size()) ? 2 : 1;
    }
    if (end >= text.size())
        return text;
    return text.left(end) + QStringLiteral("...");
}

QString GeneralDate(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return {};
    // The default locale is the system's unless the program (or a test) says otherwise.
    const QLocale locale;
    if (dateTime.time() == QTime(0, 0))
        return locale.toString(dateTime.date(), QLocale::ShortFormat);
    return locale.toString(dateTime, QLocale::ShortFormat);
}
