#pragma once

#include "UpperCaseText.h"

#include <QDate>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

class RecordList;

// The text with every space (U+0020) removed; tabs and other white space stay.
QString RemoveSpaces(QString strFileName);

// A date as the advanced search asks for it, month/day/year: "01/02/2004" or
// "1/2/2004", whatever the locale. Anything else, or a day the calendar does not
// have, reads as nothing.
std::optional<QDate> readMonthDayYear(const QString &text);

// What the advanced search looks for. The ticked criteria are alternatives: a record
// is found when any one of them holds.
struct AdvancedSearchCriteria {
    bool byFileName = false;
    QString fileNameText; // looked for in the whole path, folders included
    bool byKeywords = false;
    QString keywordsText;
    bool byDate = false;
    QDate after; // the last-modified day must be later than this...
    QDate before; // ...and earlier than this
    // Spaces left out of the paths and keywords before they are compared.
    bool removeSpacesInRecords = false;
};

// One advanced search, taken a few records at a time so that the window can keep
// painting and take a Cancel between them. Records whose file does not exist (the
// sentinel among them) are passed over, unless the file sits on a drive that is not
// connected: the user may be looking for exactly those, and their paths and keywords
// are known. Their date is not, so the date criterion never finds them.
class AdvancedSearch
{
public:
    // When a file (not a folder) exists at the path: its last-modified time in
    // milliseconds since the epoch. The path is valid only during the call.
    using FileStatus = std::function<std::optional<qint64>(const QString &path)>;
    static std::optional<qint64> fileOnDisk(const QString &path);
    // Whether a file that was not found sits on a drive that is not connected.
    using OfflineCheck = std::function<bool(const QString &path)>;

    struct Match {
        QString path;
        QString keywords;
    };

    AdvancedSearch(const RecordList &records, AdvancedSearchCriteria criteria, FileStatus status = fileOnDisk,
                   OfflineCheck isOffline = {});

    // Looks at up to count more records, in list order, and appends those found.
    void searchNext(int count, std::vector<Match> &found);
    bool isFinished() const;
    int searchedCount() const { return m_next; }

private:
    bool matches(QStringView path, QStringView keywords, std::optional<qint64> modified) const;
    // Files not found come in runs from one folder, all on one drive: asked once a run.
    bool isOffline(QStringView path);

    const RecordList &m_records;
    AdvancedSearchCriteria m_criteria;
    FileStatus m_status;
    OfflineCheck m_isOffline;
    bool m_askedOnce = false;
    QString m_lastMissingFolder;
    bool m_lastMissingFolderOffline = false;
    UpperCaseFinder m_fileName;
    UpperCaseFinder m_keywords;
    qint64 m_fromMSecs = 0; // the first moment of the day after "after"
    qint64 m_toMSecs = 0; // the first moment of "before"
    int m_next = 0;
};
