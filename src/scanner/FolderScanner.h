#pragma once

#include "ScanResult.h"

#include <atomic>
#include <chrono>
#include <functional>

// Finds the files of one scan: every pass over the start folder (and the folders below
// it), in pass order. The disk is walked once for all passes together; the result
// lists the files as if each pass had walked it on its own.
//
// run() blocks and touches no catalog, so it can run on a worker thread; cancel() may
// be called from any thread. The caller files the found records (insertFoundRecordsNewestFirst)
// on the thread that owns the catalog.
class FolderScanner
{
public:
    using ProgressCallback = std::function<void(const ScanProgress &)>;
    static constexpr std::chrono::milliseconds kDefaultProgressInterval{50};

    explicit FolderScanner(ScanRequest request);

    // Called on the scanning thread, at most once per interval while the walk runs and
    // once at its end.
    void setProgressCallback(ProgressCallback callback, std::chrono::milliseconds interval = kDefaultProgressInterval);

    void run();

    // The user's Cancel: the walk stops at the next directory entry it reads, and the
    // result keeps every file found before, in pass order.
    void cancel() { m_scanCancelled.store(true, std::memory_order_relaxed); }
    bool isCancelled() const { return m_scanCancelled.load(std::memory_order_relaxed); }

    const ScanResult &result() const { return m_result; }
    ScanResult takeResult() { return std::move(m_result); }

    // The start folder as the found paths will begin: absolute, cleaned, and with the
    // platform's separators.
    static QString normalisedFolder(const QString &folder);

private:
    ScanRequest m_request;
    ProgressCallback m_progressCallback;
    std::chrono::milliseconds m_progressInterval = kDefaultProgressInterval;
    std::atomic<bool> m_scanCancelled{false};
    ScanResult m_result;
};
