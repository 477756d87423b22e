#pragma once

#include <QByteArray>
#include <QString>

// Catalog and extension files are written as UTF-8. Files from older systems hold
// Windows-1252 text; bytes that are not valid UTF-8 are read that way instead.
QString decodeCatalogText(const char *data, qsizetype size);
// The same, into a string whose storage is reused from call to call.
void decodeCatalogTextInto(const char *data, qsizetype size, QString &out);
bool isValidUtf8(const char *data, qsizetype size);
// UTF-8 into text with every character kept: unlike QString::fromUtf8, a leading
// U+FEFF stays, for it is part of a name here and no byte-order mark.
QString utf8ToText(const char *data, qsizetype size);

// A piece of file content fit to quote in a message: characters that do not print
// (NUL, control characters) are written as escapes such as \0 or \x1B, and the text is
// cut after maxCharacters characters, marked with "...".
QString printableExcerpt(QStringView text, qsizetype maxCharacters = 16);
QString printableExcerpt(QByteArrayView bytes, qsizetype maxCharacters = 16);
