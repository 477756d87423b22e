#include "AllocatorTuning.h"

#include <cstdlib> // defines __GLIBC__ on glibc

#ifdef __GLIBC__
#include <malloc.h>
#endif

void tuneAllocatorForLargeCatalogs()
{
#ifdef __GLIBC__
    mallopt(M_MXFAST, 0);
#endif
}
