#include "sys/fatal.h"

#include <cstdio>
#include <cstdlib>

namespace {

void (*fatal_cleanup)();

}  // namespace

void sys_set_fatal_cleanup(void (*cleanup)())
{
    fatal_cleanup = cleanup;
}

void sys_fatal(const char* line)
{
    sys_fatal_to(stderr, line);
}

void sys_fatal_to(FILE* stream, const char* line)
{
    fprintf(stream, "%s\n", line);
    fflush(stream);
    if (void (*cleanup)() = fatal_cleanup) {
        fatal_cleanup = nullptr;  // a failure inside the cleanup ends at once
        cleanup();
    }
    exit(1);
}
