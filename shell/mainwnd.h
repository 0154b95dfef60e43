// The hidden main window. Its procedure is also the timer procedure of the
// help timer and the auto-exit poll, which about/ and iecontrol/ set on it:
// MainTimerProc is declared for them.
#ifndef SORRELWICK_MAINWND_H
#define SORRELWICK_MAINWND_H

#include <windows.h>

LRESULT CALLBACK MainWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
void CALLBACK MainTimerProc(HWND window, UINT msg, UINT_PTR id, DWORD time);

#endif
