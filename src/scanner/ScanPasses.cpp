#include "ScanPasses.h"

#include "ExtensionTable.h"

namespace ScanPasses {

const QStringList &builtInExtensions()
{
    static const QStringList extensions = {
        QStringLiteral("avi"), QStringLiteral("bmp"), QStringLiteral("gif"),  QStringLiteral("jpeg"),
        QStringLiteral("jpg"), QStringLiteral("m2p"), QStringLiteral("m2v"),  QStringLiteral("mp1"),
        QStringLiteral("mp2"), QStringLiteral("mp3"), QStringLiteral("mpeg"), QStringLiteral("mpg"),
        QStringLiteral("png"), QStringLiteral("tif"), QStringLiteral("wav"),  QStringLiteral("wma"),
        QStringLiteral("wmv"),
    };
    return extensions;
}

std::vector<ScanPass> forMediaScan(const QStringList &checkedExtensions, const ExtensionTable &table)
{
    std::vector<ScanPass> passes;
    const bool allFilesInEntryOne = table.isAllFilesMode();
    for (const QString &extension : builtInExtensions()) {
        if (checkedExtensions.contains(extension))
            passes.push_back({extension, allFilesInEntryOne});
    }
    const QStringList additional = table.extensions();
    for (qsizetype i = 0; i < additional.size(); ++i)
        passes.push_back({additional.at(i), i == 0 && allFilesInEntryOne});
    return passes;
}

std::vector<ScanPass> forAllFilesScan()
{
    return {ScanPass{ExtensionTable::kAllFiles, true}};
}

bool matches(const ScanPass &pass, QStringView fileExtension)
{
    if (fileExtension.isEmpty() && pass.skipFilesWithoutExtension)
        return false;
    return pass.extension == ExtensionTable::kAllFiles
        || fileExtension.compare(pass.extension, Qt::CaseInsensitive) == 0;
}

} // namespace ScanPasses
