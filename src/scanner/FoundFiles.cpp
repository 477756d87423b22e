#include "FoundFiles.h"

#include "FileNameRules.h"
#include "TextEncoding.h"

#include <QDir>

#include <algorithm>

namespace {

bool isAscii(std::string_view bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// ASCII bytes as text of the same length, lower-cased or not, written in place.
void widen(std::string_view ascii, QChar *out, bool lowerCase)
{
    for (const char c : ascii) {
        const char16_t unit = char16_t(static_cast<unsigned char>(c));
        *out++ = QChar(lowerCase && unit >= u'A' && unit <= u'Z' ? char16_t(unit - u'A' + u'a') : unit);
    }
}

QString lowerCaseText(std::string_view ascii)
{
    QString text(qsizetype(ascii.size()), Qt::Uninitialized);
    widen(ascii, text.data(), true);
    return text;
}

} // namespace

FoundFiles::Text FoundFiles::store(std::string_view bytes)
{
    if (m_texts.empty() || m_texts.back().capacity() - m_texts.back().size() < bytes.size()) {
        m_texts.emplace_back();
        m_texts.back().reserve(std::max(kTextBlockBytes, bytes.size()));
    }
    std::string &block = m_texts.back();
    const Text text{std::uint32_t(m_texts.size() - 1), std::uint32_t(block.size()), std::uint32_t(bytes.size())};
    block.append(bytes);
    return text;
}

void FoundFiles::append(const File &file)
{
    if ((m_size & (kBlockFiles - 1)) == 0) {
        m_files.emplace_back();
        m_files.back().reserve(kBlockFiles);
    }
    m_files.back().push_back(file);
    ++m_size;
}

void FoundFiles::addFolder(std::string_view walkPath)
{
    // As the path goes into the found paths: with the platform's separators, and one
    // at its end.
    const char separator = char(QDir::separator().unicode());
    std::string path(walkPath);
    if (separator != '/')
        std::replace(path.begin(), path.end(), '/', separator);
    if (path.empty() || path.back() != separator)
        path += separator;
    m_folders.push_back(store(path));
}

void FoundFiles::addFile(std::string_view nameUtf8)
{
    append({store(nameUtf8), std::uint32_t(m_folders.size() - 1)});
}

void FoundFiles::arrange(const std::vector<std::size_t> &positions)
{
    FoundFiles arranged;
    for (const std::size_t position : positions)
        arranged.append(fileAt(position));
    m_files = std::move(arranged.m_files);
    m_size = arranged.m_size;
}

QString FoundFiles::folderText(std::uint32_t folder) const
{
    const std::string_view bytes = textOf(m_folders[folder]);
    return utf8ToText(bytes.data(), qsizetype(bytes.size()));
}

FoundFile FoundFiles::at(std::size_t position) const
{
    const File &file = fileAt(position);
    return makeFile(file, folderText(file.folder));
}

FoundFile FoundFiles::const_iterator::operator*() const
{
    const File &file = m_files->fileAt(m_position);
    if (file.folder != m_prefixFolder) {
        m_prefix = m_files->folderText(file.folder);
        m_prefixFolder = file.folder;
    }
    return m_files->makeFile(file, m_prefix);
}

FoundFile FoundFiles::makeFile(const File &file, const QString &folderText) const
{
    const std::string_view name = textOf(file.name);
    if (!isAscii(name)) {
        // Names are taken whole: QString::fromUtf8 would drop a leading U+FEFF, and the
        // record would name another file.
        const QString text = utf8ToText(name.data(), qsizetype(name.size()));
        return {folderText + text, FileNameRules::rowName(text), FileNameRules::rowExtension(text)};
    }
    // Nearly every name is ASCII: one character a byte, each string made in one go.
    QString path(folderText.size() + qsizetype(name.size()), Qt::Uninitialized);
    std::copy(folderText.cbegin(), folderText.cend(), path.data());
    widen(name, path.data() + folderText.size(), false);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return {std::move(path), lowerCaseText(name), QString()};
    return {std::move(path), lowerCaseText(name.substr(0, dot)), lowerCaseText(name.substr(dot + 1))};
}
