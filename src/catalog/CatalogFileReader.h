#pragma once

#include <QByteArray>
#include <QString>

// Reads the items of a ".kvd" file one after another, the way the format's reading
// rules say: blanks and line ends before an item are skipped, quoted text runs to
// the next quote, unquoted text to a comma or line end, numbers are 16-bit.
// Every read reports failure instead of throwing; error() and line() then say why
// and where.
class CatalogFileReader
{
public:
    explicit CatalogFileReader(QByteArrayView bytes);

    bool readText(QString &value);
    bool readNumber(int &value);
    // True when only blanks and line ends are left.
    bool atEnd();
    // The line on which the next item starts.
    int nextItemLine();

    const QString &error() const { return m_error; }
    // 1-based line where the failing item started (or the current line).
    int line() const { return m_errorLine ? m_errorLine : m_line; }

private:
    void skipBlanks();
    void finishItem();
    bool fail(const QString &reason);
    QByteArrayView readRawText();

    const char *m_pos;
    const char *m_end;
    int m_line = 1;
    int m_errorLine = 0;
    QString m_error;
};
