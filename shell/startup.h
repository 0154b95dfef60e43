// Start-up, the message loop and shutdown.
#ifndef SORRELWICK_STARTUP_H
#define SORRELWICK_STARTUP_H

#include <windows.h>

void ShowErrorPair(HWND owner, const char *text);
int IsHelpSwitch(const char *arg);
void ScanCommandLine(int argc, char **argv);
int SorrelwickMain(HINSTANCE instance, HINSTANCE prevInstance, int argc, char **argv);
void InitStartValues();
void RunShutdown();

#endif
