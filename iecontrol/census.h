// The census of Internet Explorer's frame windows and their processes, and
// the termination and launch of Internet Explorer.
#ifndef SORRELWICK_CENSUS_H
#define SORRELWICK_CENSUS_H

#include <windows.h>

int CountIeWindows();  // into the shared table
BOOL CALLBACK CollectIeWindow(HWND window, LPARAM param);
// The census into a table of IEPIDS_MAX entries other than the shared one.
int CountIeWindowsInto(DWORD *pids, LONG *count);
void TerminateCollectedIe();
int TerminateProcessById(DWORD pid);
int LaunchIe(char *commandLine);

#endif
