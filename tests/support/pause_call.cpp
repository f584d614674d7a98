#include "support/pause_call.h"

#include "screens/pause.h"

int32_t run_pause_menu()
{
    return pause();
}
