#include "support/screen_probe.h"

#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <dlfcn.h>
#include <execinfo.h>

const char* const SCREEN_NAMES[] = {"start_screen", "show_opensource", "menu",          "show_highscores",
                                    "enter_pw",     "settings",        "controls",      "select_level",
                                    "aktion",       "engine",          "pause",         "enter_highscore"};
const int SCREEN_COUNT = sizeof SCREEN_NAMES / sizeof SCREEN_NAMES[0];

namespace {

// The screen whose function holds the code at pc, -1 none.
int screen_at(void* pc)
{
    Dl_info info;
    if (!dladdr(pc, &info) || !info.dli_sname)
        return -1;
    int status = 0;
    char* plain = abi::__cxa_demangle(info.dli_sname, nullptr, nullptr, &status);
    const char* name = plain ? plain : info.dli_sname;
    size_t len = strcspn(name, "(");
    int found = -1;
    for (int i = 0; i < SCREEN_COUNT && found < 0; i++)
        if (strlen(SCREEN_NAMES[i]) == len && strncmp(name, SCREEN_NAMES[i], len) == 0)
            found = i;
    free(plain);
    return found;
}

}  // namespace

int running_screen()
{
    void* stack[64];
    int n = backtrace(stack, 64);
    for (int i = 1; i < n; i++) {  // a return address lies just after its call
        int s = screen_at(static_cast<char*>(stack[i]) - 1);
        if (s >= 0)
            return s;
    }
    return -1;
}
