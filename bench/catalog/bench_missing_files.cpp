// The memory a load costs when every file of a big catalog is missing: the records
// are kept aside for the Missing Files window and Locate. Prints the peak resident
// memory against the catalog file's size (aim: about twice the file at most).
//
//   bench_missing_files [file size in MB, default 256]

#include "AllocatorTuning.h"
#include "Catalog.h"
#include "OpenFileList.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <sys/resource.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    tuneAllocatorForLargeCatalogs(argv);
    const qint64 megabytes = argc > 1 ? std::atoll(argv[1]) : 256;
    const QString path = QDir::tempPath() + QStringLiteral("/corvanta-bench-missing.kvd");
    {
        // Tiny records, as small as a line can be, of files that are nowhere.
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write("0\r\n");
        QByteArray chunk;
        for (qint64 i = 0; file.size() < megabytes * 1024 * 1024; ++i) {
            chunk += "\"/m/" + QByteArray::number(i) + "\",1,\"\"\r\n";
            if (chunk.size() > (1 << 20)) {
                file.write(chunk);
                chunk.clear();
            }
        }
        file.write(chunk);
    }
    const qint64 fileBytes = QFile(path).size();
    struct rusage before {};
    getrusage(RUSAGE_SELF, &before);
    QElapsedTimer timer;
    timer.start();
    Catalog catalog;
    const CatalogLoadReport report = OpenFileList(path, catalog);
    const double seconds = double(timer.elapsed()) / 1000;
    struct rusage after {};
    getrusage(RUSAGE_SELF, &after);
    std::printf("catalog file %.0f MB, %d missing files kept aside (%.0f MB held) in %.2f s\n", double(fileBytes) / 1e6,
                report.missingFiles, double(catalog.missingRecords()->heldBytes()) / 1e6, seconds);
    std::printf("peak resident memory %.0f MB before the load, %.0f MB after: %.2fx the file (aim <= 2x)\n",
                double(before.ru_maxrss) / 1e3, double(after.ru_maxrss) / 1e3,
                double(after.ru_maxrss) * 1024 / double(fileBytes));
    QFile::remove(path);
    return 0;
}
