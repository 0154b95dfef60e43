// Platform calls whose failures Wine cannot be made to produce. Each pointer
// defaults to the real API; only tests replace them.
#ifndef SORRELWICK_SEAMS_H
#define SORRELWICK_SEAMS_H

#include <windows.h>
#include <shellapi.h>

typedef BOOL(WINAPI *ShellNotifyIconFn)(DWORD, PNOTIFYICONDATAA);
typedef UINT_PTR(WINAPI *SetTimerFn)(HWND, UINT_PTR, UINT, TIMERPROC);
typedef HANDLE(WINAPI *FindFirstFileFn)(LPCSTR, LPWIN32_FIND_DATAA);
typedef BOOL(WINAPI *WinHelpFn)(HWND, LPCSTR, UINT, ULONG_PTR);
// Lets the About box's tests point it at another file.
typedef DWORD(WINAPI *GetModuleFileNameFn)(HMODULE, LPSTR, DWORD);
// The RAS records are passed as raw buffers of their fixed sizes.
typedef DWORD(WINAPI *RasEnumConnectionsFn)(void *, DWORD *, DWORD *);
typedef DWORD(WINAPI *RasGetConnectStatusFn)(HANDLE, void *);

extern ShellNotifyIconFn pShellNotifyIconA;
extern SetTimerFn pSetTimer;
extern FindFirstFileFn pFindFirstFileA;
extern WinHelpFn pWinHelpA;
extern GetModuleFileNameFn pGetModuleFileNameA;
extern RasEnumConnectionsFn pRasEnumConnectionsA;
extern RasGetConnectStatusFn pRasGetConnectStatusA;
extern DWORD trayRetryWaitMs;

void RestoreSeams();  // back to the real calls

#endif
