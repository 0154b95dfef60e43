// The entry point only; everything else is linked into the tests as well.
#include <stdlib.h>

#include "shell/startup.h"
#include "shell/sysdll.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE prevInstance, LPSTR, int)
{
    HardenDllSearch();
    return SorrelwickMain(instance, prevInstance, __argc, __argv);
}
