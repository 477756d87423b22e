#include "FoundFileCollector.h"

#include "FileNameRules.h"
#include "TextEncoding.h"

#include <QDir>

FoundFileCollector::FoundFileCollector()
    : m_thread([this] { convertUntilFinished(); })
{
}

FoundFileCollector::~FoundFileCollector()
{
    if (m_thread.joinable())
        finish();
}

void FoundFileCollector::add(FolderWalker::FolderMatches &&folder)
{
    std::unique_lock lock(m_mutex);
    m_queue.push_back(std::move(folder));
    // The walk finishes a folder every few dozen files; the converter is woken for a
    // batch of them, not for each.
    if (m_waiting && m_queue.size() >= kFoldersPerWake) {
        m_waiting = false;
        lock.unlock();
        m_wake.notify_one();
    }
}

FoundFileCollector::Collected FoundFileCollector::finish()
{
    {
        std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    m_wake.notify_one();
    m_thread.join();
    return std::move(m_collected);
}

void FoundFileCollector::convertUntilFinished()
{
    std::vector<FolderWalker::FolderMatches> taken;
    for (;;) {
        bool last = false;
        {
            std::unique_lock lock(m_mutex);
            if (m_queue.empty() && !m_finished) {
                m_waiting = true;
                m_wake.wait(lock, [this] { return !m_queue.empty() || m_finished; });
                m_waiting = false;
            }
            taken.swap(m_queue);
            last = m_finished;
        }
        for (const FolderWalker::FolderMatches &folder : taken)
            convert(folder);
        taken.clear();
        if (last)
            return;
    }
}

void FoundFileCollector::convert(const FolderWalker::FolderMatches &folder)
{
    // Names are taken whole: QString::fromStdString would drop a leading U+FEFF, and the
    // record would name another file.
    QString folderPrefix = QDir::toNativeSeparators(utf8ToText(folder.path.data(), qsizetype(folder.path.size())));
    if (!folderPrefix.endsWith(QDir::separator()))
        folderPrefix += QDir::separator();
    for (const FolderWalker::MatchedFile &file : folder.files) {
        const QString name = utf8ToText(file.name.data(), qsizetype(file.name.size()));
        m_collected.files.push_back({folderPrefix + name, FileNameRules::rowName(name), FileNameRules::rowExtension(name)});
        m_collected.passes.push_back(file.passes);
        m_collected.rowCount += file.passes->size();
    }
}
