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
// The program at the start of an IEPath text: a quoted first token, else the
// longest prefix ending at a blank that names a program file as
// CreateProcessA finds one (or a pattern that matches a file), else the first
// token. Copies it without quotes into program (IEPATH_SIZE bytes) and the
// bytes of text it spans into *length; 1 when it names a program file.
int FindIeProgram(const char *text, char *program, int *length);
int LaunchIe(char *commandLine);

#endif
