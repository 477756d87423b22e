#pragma once

#include <QByteArray>
#include <QString>

// Catalog and extension files are written as UTF-8. Files from older systems hold
// Windows-1252 text; bytes that are not valid UTF-8 are read that way instead.
QString decodeCatalogText(const char *data, qsizetype size);
// The same, into a string whose storage is reused from call to call.
void decodeCatalogTextInto(const char *data, qsizetype size, QString &out);
bool isValidUtf8(const char *data, qsizetype size);
