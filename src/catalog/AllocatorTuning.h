#pragma once

// Called once at the start of the process, before any thread is started.
//
// A listing of a big category builds hundreds of thousands of small rows on a
// worker, and the window's thread frees them at the next listing. glibc keeps such
// frees in its fast bins and merges them all at once on a later large request,
// holding the lock of the arena they came from: the window's thread waited on that
// lock for over 100 ms while a new listing's worker allocated. Without fast bins a
// freed block is merged as it is freed, and no such burst comes.
void tuneAllocatorForLargeCatalogs();
