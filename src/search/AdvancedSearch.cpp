#include "AdvancedSearch.h"

#include "FileRecord.h"
#include "FileStamp.h"
#include "RecordList.h"
#include "UpperCaseText.h"

#include <QDateTime>
#include <QRegularExpression>

QString RemoveSpaces(QString strFileName)
{
    strFileName.remove(QLatin1Char(' '));
    return strFileName;
}

std::optional<QDate> readMonthDayYear(const QString &text)
{
    static const QRegularExpression monthDayYear(QStringLiteral("^\\s*(\\d{1,2})/(\\d{1,2})/(\\d{4})\\s*$"));
    const QRegularExpressionMatch parts = monthDayYear.match(text);
    if (!parts.hasMatch())
        return std::nullopt;
    const QDate date(parts.captured(3).toInt(), parts.captured(1).toInt(), parts.captured(2).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<qint64> AdvancedSearch::fileOnDisk(const QString &path)
{
    return readModifiedMSecs(path);
}

AdvancedSearch::AdvancedSearch(const RecordList &records, AdvancedSearchCriteria criteria, FileStatus status,
                               OfflineCheck isOffline)
    : m_records(records)
    , m_criteria(std::move(criteria))
    , m_status(std::move(status))
    , m_isOffline(std::move(isOffline))
    , m_fileName(m_criteria.fileNameText)
    , m_keywords(m_criteria.keywordsText)
{
    if (m_criteria.byDate && m_criteria.after.isValid() && m_criteria.before.isValid()) {
        // Whole days in local time, both ends left out: from the start of the day
        // after the first date up to the start of the second.
        m_fromMSecs = m_criteria.after.addDays(1).startOfDay().toMSecsSinceEpoch();
        m_toMSecs = m_criteria.before.startOfDay().toMSecsSinceEpoch();
    }
}

bool AdvancedSearch::isFinished() const
{
    return m_next >= m_records.size();
}

void AdvancedSearch::searchNext(int count, std::vector<Match> &found)
{
    // The list is read afresh at every record: it may have grown since the last turn.
    for (int seen = 0; seen < count && m_next < m_records.size(); ++seen, ++m_next) {
        const QString &record = m_records.at(m_next);
        const RecordViews parts = recordViews(record);
        const std::optional<qint64> modified
            = m_status(QString::fromRawData(reinterpret_cast<const QChar *>(parts.path.data()), parts.path.size()));
        if (!modified && !isOffline(parts.path))
            continue;
        if (matches(parts.path, parts.keywords, modified))
            found.push_back({parts.path.toString(), parts.keywords.toString()});
    }
}

bool AdvancedSearch::isOffline(QStringView path)
{
    if (!m_isOffline)
        return false;
    const QStringView folder = path.first(std::max<qsizetype>(0, path.lastIndexOf(QLatin1Char('/'))));
    if (!m_askedOnce || folder != m_lastMissingFolder) {
        m_askedOnce = true;
        m_lastMissingFolder = folder.toString();
        m_lastMissingFolderOffline = m_isOffline(path.toString());
    }
    return m_lastMissingFolderOffline;
}

bool AdvancedSearch::matches(QStringView path, QStringView keywords, std::optional<qint64> modified) const
{
    if (m_criteria.byDate && modified && *modified >= m_fromMSecs && *modified < m_toMSecs)
        return true;
    const bool removeSpaces = m_criteria.removeSpacesInRecords;
    if (m_criteria.byFileName
        && m_fileName.isIn(removeSpaces ? QStringView(RemoveSpaces(path.toString())) : path))
        return true;
    return m_criteria.byKeywords
        && m_keywords.isIn(removeSpaces ? QStringView(RemoveSpaces(keywords.toString())) : keywords);
}
