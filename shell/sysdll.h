// Code from the system only. Sorrelwick is often run from a folder anyone
// can write to, such as the download folder, where a DLL named like a
// system one would otherwise be found first.
#ifndef SORRELWICK_SYSDLL_H
#define SORRELWICK_SYSDLL_H

#include <windows.h>

// First thing at start: the current folder leaves the DLL search path and,
// where the system allows it, the default search is the system folder alone.
// This also covers what system code loads later.
void HardenDllSearch();
// The DLL of that bare file name from the system folder, or null. It is
// not freed: the function pointers taken from it call into it for the run.
HMODULE LoadSystemDll(const char *name);

#endif
