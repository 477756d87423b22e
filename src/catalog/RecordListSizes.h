#pragma once

#include <QtGlobal>

// The sizes the record list cuts its storage to, shared by the files that implement it.
namespace RecordListSizes {

// The records' text is kept in blocks of this many bytes.
constexpr quint32 kBlockBytes = 1u << 20;
// Entries a chunk holds at most: moving one chunk's entries costs microseconds, and a
// million records need a few hundred chunks.
constexpr int kChunkEntries = 4096;

} // namespace RecordListSizes
