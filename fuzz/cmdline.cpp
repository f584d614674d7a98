// The command line: the input is the arguments, separated by zero bytes.
#include "fuzz.h"

#include "app/startup.h"
#include "core/state.h"
#include "video/screen.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> args = {"zarn"};
    std::string text(reinterpret_cast<const char*>(data), size);
    for (size_t at = 0; at <= text.size() && args.size() < 16;) {
        size_t end = text.find('\0', at);
        end = end == std::string::npos ? text.size() : end;
        args.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    screen_reset();
    state_reset();
    read_command_line(static_cast<int>(args.size()), argv.data());
    FUZZ_ASSERT(zoom >= 0 && zoom <= 5 && (debug_levels == 0 || debug_levels == 1));
    return 0;
}
