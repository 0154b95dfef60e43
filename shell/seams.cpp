#include "shell/seams.h"

static DWORD WINAPI RealRasEnumConnections(void *conns, DWORD *bytes, DWORD *count);
static DWORD WINAPI RealRasGetConnectStatus(HANDLE conn, void *status);

ShellNotifyIconFn pShellNotifyIconA = Shell_NotifyIconA;
SetTimerFn pSetTimer = SetTimer;
FindFirstFileFn pFindFirstFileA = FindFirstFileA;
WinHelpFn pWinHelpA = WinHelpA;
RasEnumConnectionsFn pRasEnumConnectionsA = RealRasEnumConnections;
RasGetConnectStatusFn pRasGetConnectStatusA = RealRasGetConnectStatus;
DWORD trayRetryWaitMs = 5000;

void RestoreSeams()
{
    pShellNotifyIconA = Shell_NotifyIconA;
    pSetTimer = SetTimer;
    pFindFirstFileA = FindFirstFileA;
    pWinHelpA = WinHelpA;
    pRasEnumConnectionsA = RealRasEnumConnections;
    pRasGetConnectStatusA = RealRasGetConnectStatus;
    trayRetryWaitMs = 5000;
}

// rasapi32 is loaded on first use: most runs never make a line check, and a
// system without RAS then simply answers "no connection".
static FARPROC RasProc(const char *name)
{
    static HMODULE ras;
    if (ras == NULL)
        ras = LoadLibraryA("rasapi32.dll");
    return ras != NULL ? GetProcAddress(ras, name) : NULL;
}

static DWORD WINAPI RealRasEnumConnections(void *conns, DWORD *bytes, DWORD *count)
{
    RasEnumConnectionsFn fn = (RasEnumConnectionsFn)(void *)RasProc("RasEnumConnectionsA");
    return fn != NULL ? fn(conns, bytes, count) : ERROR_CALL_NOT_IMPLEMENTED;
}

static DWORD WINAPI RealRasGetConnectStatus(HANDLE conn, void *status)
{
    RasGetConnectStatusFn fn = (RasGetConnectStatusFn)(void *)RasProc("RasGetConnectStatusA");
    return fn != NULL ? fn(conn, status) : ERROR_CALL_NOT_IMPLEMENTED;
}
