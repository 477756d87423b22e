#pragma once

#include <QStringView>

#include <cstddef>
#include <string>

// The searches compare texts upper-cased as QString::toUpper() does it: character by
// character, with the full mappings ("ß" becomes "SS", "ﬁ" becomes "FI"). Both sides
// are turned into the UTF-8 bytes of their upper-cased form, where a plain byte search
// finds exactly what a search of the upper-cased strings would find: UTF-8 never
// starts a character inside another one.

// Appends the UTF-8 bytes of text.toUpper() to out.
void appendUpperUtf8(QStringView text, std::string &out);
std::string upperUtf8(QStringView text);
// The same into a buffer of at least maxUpperUtf8Size(text.size()) bytes; returns
// the end of what was written.
std::size_t maxUpperUtf8Size(qsizetype units);
char *writeUpperUtf8(QStringView text, char *out);
// The same for UTF-8 text that is plain ASCII, into as many bytes as it has; returns
// nullptr, with out's contents undefined, when it is not ASCII.
char *writeUpperAscii(const char *text, std::size_t size, char *out);

// One search text, upper-cased once, looked for in many texts.
class UpperCaseFinder
{
public:
    static constexpr std::size_t npos = std::string::npos;

    explicit UpperCaseFinder(QStringView text);

    // Whether the search text, upper-cased, occurs in text upper-cased.
    bool isIn(QStringView text) const;
    // The first position at or after from where the upper-cased search text starts in
    // bytes that are upper-cased already, or npos.
    std::size_t findIn(const char *bytes, std::size_t size, std::size_t from = 0) const;

    const std::string &bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};
