#pragma once

#include "FolderWalker.h"
#include "ScanResult.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

// Turns the walker's finished folders into found files (the paths and row texts as
// strings) on a thread of its own, so that the text work for the folders already read
// runs while the walk waits on the disk for the next. Folders keep the order they were
// added in.
class FoundFileCollector
{
public:
    // Each found file once, in folder order, with the passes that found it.
    struct Collected {
        std::vector<FoundFile> files;
        std::vector<const std::vector<int> *> passes;
        std::size_t rowCount = 0;
    };

    FoundFileCollector();
    ~FoundFileCollector();
    FoundFileCollector(const FoundFileCollector &) = delete;
    FoundFileCollector &operator=(const FoundFileCollector &) = delete;

    void add(FolderWalker::FolderMatches &&folder);
    // Waits until every folder added has been turned into files, and hands them over.
    Collected finish();

private:
    void convertUntilFinished();
    void convert(const FolderWalker::FolderMatches &folder);

    static constexpr std::size_t kFoldersPerWake = 64;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<FolderWalker::FolderMatches> m_queue;
    bool m_waiting = false;
    bool m_finished = false;
    Collected m_collected;
    std::thread m_thread;
};
