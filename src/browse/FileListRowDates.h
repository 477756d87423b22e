#pragma once

#include "FileListRows.h"

#include <atomic>

class OfflineVolumes;

// Reads the times of the rows' files that have not been read, for sorting by date
// on any thread: a row becomes Dated, Unreadable or Offline. Type and icon are left
// for the window's thread, whose caches they come from. The paths are made a slice
// at a time, so that a million rows never have them all at once.
void dateRows(PackedRow *rows, std::size_t count, const OfflineVolumes &drives,
              const std::atomic<bool> *abandoned = nullptr);
