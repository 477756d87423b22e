#include "FileStamp.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <thread>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// Below this, starting threads costs more than it saves.
constexpr std::size_t kFilesPerThread = 4096;
constexpr unsigned kMaxThreads = 8;

} // namespace

std::optional<qint64> readModifiedMSecs(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
#ifdef Q_OS_UNIX
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    if (S_ISDIR(status.st_mode))
        return std::nullopt;
#ifdef Q_OS_DARWIN
    const auto &stamp = status.st_mtimespec;
#else
    const auto &stamp = status.st_mtim;
#endif
    return qint64(stamp.tv_sec) * 1000 + qint64(stamp.tv_nsec) / 1000000;
#else
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return std::nullopt;
    return info.lastModified().toMSecsSinceEpoch();
#endif
}

std::vector<std::optional<qint64>> readModifiedMSecs(const std::vector<const QString *> &paths)
{
    std::vector<std::optional<qint64>> stamps(paths.size());
    const auto readRange = [&paths, &stamps](std::size_t first, std::size_t last) {
        for (std::size_t i = first; i < last; ++i)
            stamps[i] = readModifiedMSecs(*paths[i]);
    };
    const unsigned cores = std::max(1u, std::min(kMaxThreads, std::thread::hardware_concurrency()));
    const auto threads = unsigned(std::min<std::size_t>(cores, paths.size() / kFilesPerThread));
    if (threads <= 1) {
        readRange(0, paths.size());
        return stamps;
    }
    // Each thread reads its own slice and writes only its own slots; the paths are
    // only read, so their reference counts are never touched.
    std::vector<std::thread> workers;
    const std::size_t slice = (paths.size() + threads - 1) / threads;
    for (unsigned t = 1; t < threads; ++t) {
        const std::size_t first = t * slice;
        workers.emplace_back(readRange, first, std::min(paths.size(), first + slice));
    }
    readRange(0, std::min(paths.size(), slice));
    for (std::thread &worker : workers)
        worker.join();
    return stamps;
}

std::vector<std::optional<qint64>> readModifiedMSecs(const std::vector<QString> &paths)
{
    std::vector<const QString *> pointers;
    pointers.reserve(paths.size());
    for (const QString &path : paths)
        pointers.push_back(&path);
    return readModifiedMSecs(pointers);
}
