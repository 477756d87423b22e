#pragma once

#include "FileListRow.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>
#include <vector>

// Builds the file list's rows straight from records as the catalog stores them
// (UTF-8), for listings and searches of up to a million rows. Rows built by one
// builder share one copy of each extension and, with the row before, of equal
// keywords: a category holds a handful of extensions, and neighbouring records often
// carry the same keywords.
class RecordRowBuilder
{
public:
    std::unique_ptr<FileListRow> rowFor(QByteArrayView utf8Record);

private:
    QString sharedExtension(QStringView extension);

    std::vector<QString> m_extensions; // lower case
    QByteArray m_previousKeywordBytes;
    QString m_previousKeywords;
};
