#ifndef SORRELWICK_CENSUS_H
#define SORRELWICK_CENSUS_H

#include <windows.h>

// The census into a table of IEPIDS_MAX entries other than the shared one.
int CountIeWindowsInto(DWORD *pids, LONG *count);

#endif
