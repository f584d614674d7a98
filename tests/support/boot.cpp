#include "support/boot.h"

#include "config/config.h"
#include "config/input.h"
#include "sys/clock.h"
#include "core/field.h"
#include "core/hint.h"
#include "core/state.h"
#include "res/assets.h"
#include "res/qva.h"
#include "app/startup.h"
#include "core/records.h"
#include "screens/demo.h"
#include "screens/scrolltext.h"
#include "sound/sound.h"
#include "video/fps.h"
#include "video/screen.h"

void boot_game()
{
    state_reset();
    config_reset();
    input_reset();
    assets_reset();
    screen_reset();
    field_reset();
    hint_reset();
    scrolltext_reset();
    records_reset();
    demo_reset();
    resetdefault_controls();
    fps_frame_hook = nullptr;
    sys_use_virtual_clock(true);
    openArchives();
    init_zarn();
}

void shutdown_game()
{
    fps_frame_hook = nullptr;
    destroy_sound();  // the game leaves this to SDL's shut-down; tests boot many times
    closeArchives();
    freestuff();
    sys_use_virtual_clock(false);
}
