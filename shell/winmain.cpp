// The entry point only; everything else is linked into the tests as well.
#include <stdlib.h>

#include "shell/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE prevInstance, LPSTR, int)
{
    return SorrelwickMain(instance, prevInstance, __argc, __argv);
}
