#include "sys/web.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>

namespace {

constexpr double SAVE_EVERY_MS = 1000;
void (*saver)();
double saved_at;

// The page's hooks (Module.onSleep, onFileSaved, onOfferFile), each optional.
EM_JS(void, page_sleeping, (int ms), {
    if (Module["onSleep"]) Module["onSleep"](ms);
});
EM_JS(void, page_awake, (void), {
    if (Module["onWake"]) Module["onWake"]();
});
EM_JS(void, page_file_saved, (const char* path), {
    if (Module["onFileSaved"]) Module["onFileSaved"](UTF8ToString(path));
});
EM_JS(void, page_offer_file, (const char* path), {
    if (Module["onOfferFile"]) Module["onOfferFile"](UTF8ToString(path));
});

}  // namespace

void web_sleep(uint32_t ms)
{
    page_sleeping(static_cast<int>(ms));
    emscripten_sleep(ms);
    page_awake();
    double now = emscripten_get_now();
    if (saver && now - saved_at >= SAVE_EVERY_MS) {
        saved_at = now;
        saver();
    }
}

void web_keep_saving(void (*save)())
{
    saver = save;
    saved_at = emscripten_get_now();
}

void web_file_saved(const char* path)
{
    page_file_saved(path);
}

void web_offer_file(const char* path)
{
    page_offer_file(path);
}

#endif
