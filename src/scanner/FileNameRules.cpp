#include "FileNameRules.h"

#include "TextEncoding.h"

#include <algorithm>

namespace FileNameRules {

QStringView extensionOf(QStringView fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? QStringView() : fileName.mid(dot + 1);
}

std::string_view extensionOf(std::string_view fileNameUtf8)
{
    const std::size_t dot = fileNameUtf8.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : fileNameUtf8.substr(dot + 1);
}

QString rowName(QStringView fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return (dot < 0 ? fileName : fileName.left(dot)).toString().toLower();
}

QString rowExtension(QStringView fileName)
{
    return extensionOf(fileName).toString().toLower();
}

bool isStorableName(std::string_view nameBytes)
{
    const bool hasBreakingCharacter
        = std::any_of(nameBytes.begin(), nameBytes.end(), [](char c) { return c == '"' || c == '\r' || c == '\n'; });
    return !hasBreakingCharacter && isValidUtf8(nameBytes.data(), qsizetype(nameBytes.size()));
}

bool listsBefore(std::string_view left, std::string_view right)
{
    const auto folded = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
    };
    const std::size_t common = std::min(left.size(), right.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char a = folded(left[i]);
        const unsigned char b = folded(right[i]);
        if (a != b)
            return a < b;
    }
    if (left.size() != right.size())
        return left.size() < right.size();
    return left < right;
}

} // namespace FileNameRules
