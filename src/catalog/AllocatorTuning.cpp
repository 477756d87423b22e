#include "AllocatorTuning.h"

#include <cstdlib> // defines __GLIBC__ on glibc
#include <cstring>
#include <string>

#ifdef __GLIBC__
#include <malloc.h>
#include <unistd.h>
#endif

namespace {

#ifdef __GLIBC__
void restartWithHugePages(char **argv)
{
    static const char kTunables[] = "GLIBC_TUNABLES";
    static const char kHugePages[] = "glibc.malloc.hugetlb";
    const char *current = std::getenv(kTunables);
    if (argv == nullptr || argv[0] == nullptr || (current && std::strstr(current, kHugePages)))
        return;
    std::string tunables = current && *current ? std::string(current) + ':' : std::string();
    tunables += kHugePages;
    tunables += "=1";
    if (::setenv(kTunables, tunables.c_str(), 1) != 0)
        return;
    // By the program's own path, not /proc/self/exe: the process is named after the
    // file it runs, and ps, top and killall should go on to call it by its name.
    char program[4096];
    const ssize_t length = ::readlink("/proc/self/exe", program, sizeof program - 1);
    if (length > 0) {
        program[length] = '\0';
        ::execv(program, argv);
    }
    // Still here: the process goes on without huge pages, and its children are not
    // told otherwise.
    if (current)
        ::setenv(kTunables, current, 1);
    else
        ::unsetenv(kTunables);
}
#endif

} // namespace

void tuneAllocatorForLargeCatalogs(char **argv)
{
#ifdef __GLIBC__
    restartWithHugePages(argv);
    mallopt(M_MXFAST, 0);
#else
    (void)argv;
#endif
}
