// Program entry of zarn and zarn-fixed: the restricted build differs only in
// the flag set here.
#include "app/game.h"
#include "core/state.h"

int main(int argc, char** argv)
{
#ifdef ZARN_FIXED
    fixed_build = 1;
#else
    fixed_build = 0;
#endif
    return zarn_main(argc, argv);
}
