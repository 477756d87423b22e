#include "PassMatcher.h"

#include "ExtensionTable.h"

#include <QString>

#include <algorithm>

namespace {

std::string caseFoldedUtf8(const QString &text)
{
    return text.toCaseFolded().toStdString();
}

} // namespace

PassMatcher::PassMatcher(const std::vector<ScanPass> &passes)
{
    for (int i = 0; i < int(passes.size()); ++i) {
        const ScanPass &pass = passes[std::size_t(i)];
        const bool everyFile = pass.extension == ExtensionTable::kAllFiles;
        if (!pass.skipFilesWithoutExtension && (everyFile || pass.extension.isEmpty()))
            m_forEmptyExtension.push_back(i);
        if (everyFile)
            m_forAnyOtherExtension.push_back(i);
        else if (!pass.extension.isEmpty())
            m_byFoldedExtension[caseFoldedUtf8(pass.extension)].push_back(i);
    }
    // A file found by a named extension is also found by every "*" pass; merge both
    // now so that a lookup is all a file costs.
    for (auto &entry : m_byFoldedExtension) {
        std::vector<int> &indexes = entry.second;
        indexes.insert(indexes.end(), m_forAnyOtherExtension.begin(), m_forAnyOtherExtension.end());
        std::sort(indexes.begin(), indexes.end());
    }
}

const std::vector<int> &PassMatcher::passesFor(std::string_view extensionUtf8)
{
    if (extensionUtf8.empty())
        return m_forEmptyExtension;
    if (m_byFoldedExtension.empty())
        return m_forAnyOtherExtension;
    const auto found = m_byFoldedExtension.find(foldedKey(extensionUtf8));
    return found == m_byFoldedExtension.end() ? m_forAnyOtherExtension : found->second;
}

const std::string &PassMatcher::foldedKey(std::string_view extensionUtf8)
{
    const bool ascii = std::all_of(extensionUtf8.begin(), extensionUtf8.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii) {
        m_keyBuffer = caseFoldedUtf8(QString::fromUtf8(extensionUtf8.data(), qsizetype(extensionUtf8.size())));
        return m_keyBuffer;
    }
    m_keyBuffer.assign(extensionUtf8);
    for (char &c : m_keyBuffer) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return m_keyBuffer;
}
