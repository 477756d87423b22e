#pragma once

#include <QString>
#include <QStringList>

#include <array>

// The additional extensions the user set up for the next scan. Entry 0 holds how many
// are in use, as decimal text; entries 1 onward hold the extensions. "*" in entry 1
// turns a scan into an all-files scan.
class ExtensionTable
{
public:
    static constexpr int kCapacity = 2500;
    static inline const QString kAllFiles = QStringLiteral("*");
    // How the list of the Additional Extensions dialog shows "*".
    static inline const QString kAllFilesDisplayText = QStringLiteral("<All File Extensions>");

    ExtensionTable();

    // Entries 0 to kCapacity; anything outside reads as empty and is not stored.
    QString entry(int index) const;
    void setEntry(int index, const QString &text);

    // The numeric value of entry 0, read as far as it is a number, kept within 0 to kCapacity.
    int count() const;
    // Entries 1 to count().
    QStringList extensions() const;
    // Entry 0 := the number stored, entries 1 onward := the list. Entries beyond the new
    // count keep whatever they held. Returns false when the list was longer than the
    // table and only the first kCapacity entries were stored.
    bool setExtensions(const QStringList &extensions);

    bool isAllFilesMode() const { return m_entries[1] == kAllFiles; }

    // The state a scan leaves behind: count "0" and the used entries empty.
    void clearUsedEntries();

    static QString toDisplayText(const QString &entry);
    static QString fromDisplayText(const QString &text);

private:
    std::array<QString, kCapacity + 1> m_entries;
};
