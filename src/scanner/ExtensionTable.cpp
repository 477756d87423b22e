#include "ExtensionTable.h"

#include "FileRecord.h"

#include <algorithm>

ExtensionTable::ExtensionTable()
{
    m_entries[0] = QStringLiteral("0");
}

QString ExtensionTable::entry(int index) const
{
    return index >= 0 && index <= kCapacity ? m_entries[std::size_t(index)] : QString();
}

void ExtensionTable::setEntry(int index, const QString &text)
{
    if (index >= 0 && index <= kCapacity)
        m_entries[std::size_t(index)] = text;
}

int ExtensionTable::count() const
{
    return std::clamp(leadingNumber(m_entries[0]), 0, kCapacity);
}

QStringList ExtensionTable::extensions() const
{
    QStringList result;
    const int n = count();
    result.reserve(n);
    for (int i = 1; i <= n; ++i)
        result.append(m_entries[std::size_t(i)]);
    return result;
}

bool ExtensionTable::setExtensions(const QStringList &extensions)
{
    const int stored = int(std::min<qsizetype>(extensions.size(), kCapacity));
    m_entries[0] = QString::number(stored);
    for (int i = 0; i < stored; ++i)
        m_entries[std::size_t(i + 1)] = extensions.at(i);
    return stored == extensions.size();
}

void ExtensionTable::clearUsedEntries()
{
    const int n = count();
    for (int i = 1; i <= n; ++i)
        m_entries[std::size_t(i)].clear();
    m_entries[0] = QStringLiteral("0");
}

QString ExtensionTable::toDisplayText(const QString &entry)
{
    return entry == kAllFiles ? kAllFilesDisplayText : entry;
}

QString ExtensionTable::fromDisplayText(const QString &text)
{
    return text == kAllFilesDisplayText ? kAllFiles : text;
}
