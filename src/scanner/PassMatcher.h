#pragma once

#include "ScanPasses.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Answers, for one file, every pass of a scan that finds it, so that one walk over the
// disk serves all passes. Same rules as ScanPasses::matches, looked up instead of
// compared pass by pass. One instance per thread: lookups reuse a buffer.
class PassMatcher
{
public:
    explicit PassMatcher(const std::vector<ScanPass> &passes);

    // The positions (ascending) of the passes that find a file whose name has this
    // extension (UTF-8, without the dot; empty when the name has none).
    const std::vector<int> &passesFor(std::string_view extensionUtf8);

private:
    const std::string &foldedKey(std::string_view extensionUtf8);

    std::vector<int> m_forEmptyExtension;
    std::vector<int> m_forAnyOtherExtension;
    std::unordered_map<std::string, std::vector<int>> m_byFoldedExtension;
    std::string m_keyBuffer;
};
