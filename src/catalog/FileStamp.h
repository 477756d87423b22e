#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>
#include <vector>

// The last-modified time of a file in milliseconds since the epoch, or nothing when
// the file cannot be reached (missing, on a removed disk, a folder we may not enter).
// One system call: sorting a large list by date stats every row, and QFileInfo's
// bookkeeping would cost more than the call itself.
std::optional<qint64> readModifiedMSecs(const QString &path);

// The same for many files at once. Large batches are spread over the processor's
// cores: the time goes into system calls that wait on the disk, not into our code.
std::vector<std::optional<qint64>> readModifiedMSecs(const std::vector<const QString *> &paths);
std::vector<std::optional<qint64>> readModifiedMSecs(const std::vector<QString> &paths);
