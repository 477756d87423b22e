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
    // The same item as the file's bytes, for callers that decode it themselves.
    bool readTextBytes(QByteArrayView &bytes);
    bool readNumber(int &value);
    // True when only blanks and line ends are left.
    bool atEnd();
    // The line on which the next item starts.
    int nextItemLine();
    // The bytes before the next item will not be looked at again, so their memory may
    // be given back, its content lost, with the line numbers still right. Returns
    // where those bytes end.
    const char *settle();

    const QString &error() const { return m_error; }
    // 1-based line where the failing item started (or of the current position).
    int line() const { return m_errorLine ? m_errorLine : lineAt(m_pos); }

private:
    void skipBlanks();
    void finishItem();
    bool fail(const QString &reason, const char *where = nullptr);
    QByteArrayView readRawText();
    // Lines are counted only when one is asked for: reading stays a plain scan.
    int lineAt(const char *position) const;

    const char *m_begin;
    const char *m_pos;
    const char *m_end;
    // The lines before m_settled are counted once, in m_settledLines.
    const char *m_settled;
    int m_settledLines = 0;
    int m_errorLine = 0;
    QString m_error;
};
