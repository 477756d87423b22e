#pragma once

// Called first thing in main(), before any thread is started, with main's argv.
//
// Large blocks on huge pages: glibc backs them with the kernel's 2 MiB pages only
// when its tunable glibc.malloc.hugetlb says so, and tunables are read when a
// process starts, so the process starts itself again, once, with the tunable set.
// Fresh memory costs a page fault per 4 KiB page otherwise; on a virtual machine a
// fault costs tens of microseconds, and the few dozen megabytes of a million listed
// rows took a third of a second in faults before the list could be shown. A tunable
// the user set is left as it is (glibc.malloc.hugetlb=0 turns this off), and a
// restart that fails leaves the process running as it was started.
//
// No fast bins: a listing of a big category builds hundreds of thousands of small
// rows on a worker, and the window's thread frees them at the next listing. glibc
// keeps such frees in its fast bins and merges them all at once on a later large
// request, holding the lock of the arena they came from: the window's thread waited
// on that lock for over 100 ms while a new listing's worker allocated. Without fast
// bins a freed block is merged as it is freed, and no such burst comes.
void tuneAllocatorForLargeCatalogs(char **argv);
