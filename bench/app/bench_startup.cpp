// Start-up with a catalog of 1,000,000 records whose files exist, against `cat` of
// the catalog file plus one stat() per path, measured in the same run (warm cache).
// The load runs as at start-up: splash window shown, main window loading; the
// longest time the event loop did not run (a 2 ms timer noting the gap between its
// firings) shows whether the splash froze. Memory is read from /proc before, after
// and at the peak of the load.
//
// Usage: bench_startup FOLDER   (a folder of files made by bench_browse, with its
// bench-files.txt; the records cycle through them)

#include "AgreeingInteraction.h"
#include "AllocatorTuning.h"
#include "AppSettings.h"
#include "Catalog.h"
#include "CatalogFileCommands.h"
#include "Interaction.h"
#include "MainWindow.h"
#include "SplashWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kRecords = 1000000;

// Padded to the next 14-character zone, as the catalog file wants its items.
void putItem(QByteArray &line, const QByteArray &item)
{
    if (!line.isEmpty())
        line.append(QByteArray(14 - line.size() % 14, ' '));
    line.append(item);
}

// Lets VmHWM start again from the current resident size.
void resetPeakResidentSize()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

QByteArray catalogText(const QStringList &files)
{
    QByteArray text = " 3 \r\n";
    for (const char *name : {"Big", "Small", "Other"}) {
        static int index = 0;
        QByteArray line;
        putItem(line, QByteArray("\"") + name + '"');
        putItem(line, QByteArray("\"") + name + '"');
        putItem(line, ' ' + QByteArray::number(++index) + ' ');
        text += line + "\r\n";
    }
    for (int i = 0; i < kRecords; ++i) {
        QByteArray line;
        putItem(line, '"' + files[i % files.size()].toUtf8() + '"');
        putItem(line, QByteArray::number(1 + i % 3));
        putItem(line, i % 3 ? QByteArray("\"\"") : QByteArray("\"holiday beach\""));
        text += line + "\r\n";
    }
    return text;
}

// What start-up cannot do without: read the bytes, and ask once per file whether it is there.
double baselineMs(const QString &catalog)
{
    QElapsedTimer timer;
    timer.start();
    const int fd = ::open(QFile::encodeName(catalog).constData(), O_RDONLY);
    std::vector<char> bytes;
    char buffer[1 << 16];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.insert(bytes.end(), buffer, buffer + got);
    ::close(fd);
    int found = 0;
    std::string path;
    for (std::size_t at = 0; at < bytes.size();) {
        const auto end = std::size_t(std::find(bytes.begin() + long(at), bytes.end(), '\n') - bytes.begin());
        const char *first = static_cast<const char *>(std::memchr(&bytes[at], '"', end - at));
        const char *second = first ? static_cast<const char *>(std::memchr(first + 1, '"', &bytes[end] - first - 1)) : nullptr;
        if (second && first[1] == '/') { // a file line's first item is the path
            path.assign(first + 1, second);
            struct stat status {};
            found += ::stat(path.c_str(), &status) == 0;
        }
        at = end + 1;
    }
    if (found != kRecords)
        std::printf("warning: baseline found %d files\n", found);
    return double(timer.nsecsElapsed()) / 1e6;
}

long procStatusKb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(std::strlen(key))).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    tuneAllocatorForLargeCatalogs(argv); // as the program runs
    QStandardPaths::setTestModeEnabled(true);
    QApplication application(argc, argv);
    const QString folder = application.arguments().value(1);
    QFile list(folder + QStringLiteral("/bench-files.txt"));
    if (folder.isEmpty() || !list.open(QIODevice::ReadOnly)) {
        std::printf("usage: bench_startup FOLDER (with the bench-files.txt of bench_browse)\n");
        return 1;
    }
    const QStringList files = QString::fromUtf8(list.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QTemporaryDir temporary;
    const QString catalog = temporary.filePath(QStringLiteral("big.kvd"));
    {
        QFile out(catalog);
        if (!out.open(QIODevice::WriteOnly))
            return 1;
        out.write(catalogText(files));
    }
    const double fileMb = double(QFile(catalog).size()) / 1e6;
    std::printf("catalog: %d records of %lld files, %.1f MB\n", kRecords, qlonglong(files.size()), fileMb);

    baselineMs(catalog); // warm
    const double baseline = std::min(baselineMs(catalog), baselineMs(catalog));
    std::printf("baseline: cat of the file + one stat per path %14.1f ms\n\n", baseline);

    for (int round = 0; round < 2; ++round) {
        // The peak is the load's own, not that of making the catalog file above.
        resetPeakResidentSize();
        const long rssBefore = procStatusKb("VmRSS:");
        AppSettings settings;
        AgreeingInteraction quiet;
        SplashWindow splash;
        splash.show();
        QApplication::processEvents();
        MainWindow window(quiet, settings);
        int progressShown = 0;
        QObject::connect(&window.fileCommands(), &CatalogFileCommands::loadProgress, &splash,
                         [&](const QString &path, int read) {
                             splash.showLoadProgress(path, read);
                             ++progressShown;
                         });
        // The longest gap between two firings of a 2 ms timer during the load: a
        // zero timer would keep this thread busy and take a core from the load.
        QElapsedTimer clock;
        qint64 last = 0;
        qint64 longest = 0;
        QTimer probe;
        probe.setInterval(2);
        probe.setTimerType(Qt::PreciseTimer);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
        double startup = 0;
        QTimer::singleShot(0, [&] {
            clock.start();
            last = 0;
            probe.start();
            window.load(catalog);
            splash.close();
            window.show();
            startup = double(clock.nsecsElapsed()) / 1e6;
            QCoreApplication::quit();
        });
        QApplication::exec();
        probe.stop();
        const long rssAfter = procStatusKb("VmRSS:");
        const long peak = procStatusKb("VmHWM:");
        std::printf("start-up, round %d: %8.1f ms  %5.2f x baseline; longest stall %6.1f ms; %d progress updates; "
                    "%d records\n",
                    round + 1, startup, startup / baseline, double(longest) / 1e6, progressShown,
                    window.catalog().records().size());
        std::printf("  memory: %.1f MB before, %.1f MB after (%.2f x the file), peak of the process %.1f MB (%.2f x)\n",
                    rssBefore / 1e3, rssAfter / 1e3, (rssAfter - rssBefore) / 1e3 / fileMb, peak / 1e3,
                    (peak - rssBefore) / 1e3 / fileMb);
        const RecordList &records = window.catalog().records();
        std::printf("  records: text %.1f MB in blocks (%.1f MB live), places %.1f MB, categories %.1f MB, marks %.1f MB\n",
                    records.textBytes() / 1e6, records.liveTextBytes() / 1e6, records.size() * 12 / 1e6,
                    records.size() * 4 / 1e6, records.size() / 1e6);
        std::fflush(stdout);
    }
    return 0;
}
