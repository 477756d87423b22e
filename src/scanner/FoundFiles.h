#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

// One file-list row to be: a file found by one pass.
struct FoundFile {
    // Full path as the file system spells it; also the row's tag.
    QString path;
    // The row's Name and Extension cells, both in lower case.
    QString name;
    QString extension;
};

// The files of one scan, in finding order, kept as the walk read them: each folder's
// path once and each name once, as UTF-8. A scan may find a million files; three
// strings of their own for each, made while the walk runs, would cost more to make and
// to free than the walk itself, and a record is stored as UTF-8 anyway. The strings of
// a row are made only by whoever takes them, from these bytes.
//
// Reading is safe from several threads at once.
class FoundFiles
{
public:
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

    // The path with the platform's separators, as UTF-8, in two parts: the folder,
    // ending in a separator, and the name.
    std::string_view folderUtf8(std::size_t position) const { return textOf(m_folders[fileAt(position).folder]); }
    std::string_view nameUtf8(std::size_t position) const { return textOf(fileAt(position).name); }
    FoundFile at(std::size_t position) const;

    // Goes through the files in order, making each one's strings as it comes to it; the
    // files of one folder share the decoding of its path.
    class const_iterator
    {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = FoundFile;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = FoundFile;

        const_iterator(const FoundFiles &files, std::size_t position)
            : m_files(&files)
            , m_position(position)
        {
        }
        FoundFile operator*() const;
        const_iterator &operator++()
        {
            ++m_position;
            return *this;
        }
        bool operator==(const const_iterator &other) const { return m_position == other.m_position; }
        bool operator!=(const const_iterator &other) const { return m_position != other.m_position; }

    private:
        const FoundFiles *m_files;
        std::size_t m_position;
        mutable std::uint32_t m_prefixFolder = UINT32_MAX;
        mutable QString m_prefix;
    };
    const_iterator begin() const { return {*this, 0}; }
    const_iterator end() const { return {*this, size()}; }

    // Filling, in finding order: a folder (its path as the walk spells it, with "/"
    // between the steps), then its files by name.
    void addFolder(std::string_view walkPath);
    void addFile(std::string_view nameUtf8);
    // Keeps the files at the given positions, in that order; a position may come more
    // than once.
    void arrange(const std::vector<std::size_t> &positions);

private:
    // Everything is kept in blocks that never move once filled: a growing array would
    // copy all it holds again and again, into fresh memory each time.
    static constexpr std::size_t kBlockFilesShift = 12;
    static constexpr std::size_t kBlockFiles = std::size_t(1) << kBlockFilesShift;
    static constexpr std::size_t kTextBlockBytes = 65536;

    struct Text {
        std::uint32_t block;
        std::uint32_t offset;
        std::uint32_t length;
    };
    struct File {
        Text name;
        std::uint32_t folder;
    };

    const File &fileAt(std::size_t position) const
    {
        return m_files[position >> kBlockFilesShift][position & (kBlockFiles - 1)];
    }
    std::string_view textOf(const Text &text) const
    {
        return std::string_view(m_texts[text.block].data() + text.offset, text.length);
    }
    Text store(std::string_view bytes);
    void append(const File &file);
    QString folderText(std::uint32_t folder) const;
    FoundFile makeFile(const File &file, const QString &folderText) const;

    std::vector<std::string> m_texts;
    std::vector<Text> m_folders;
    std::vector<std::vector<File>> m_files;
    std::size_t m_size = 0;
};
