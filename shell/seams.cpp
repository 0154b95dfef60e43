#include "about/about.h"
#include "shell/seams.h"
#include "shell/sysdll.h"

static DWORD WINAPI RealRasEnumConnections(void *conns, DWORD *bytes, DWORD *count);
static DWORD WINAPI RealRasGetConnectStatus(HANDLE conn, void *status);

ShellNotifyIconFn pShellNotifyIconA = Shell_NotifyIconA;
SetTimerFn pSetTimer = SetTimer;
FindFirstFileFn pFindFirstFileA = FindFirstFileA;
WinHelpFn pWinHelpA = WinHelpByFullPath;
GetModuleFileNameFn pGetModuleFileNameA = GetModuleFileNameA;
RasEnumConnectionsFn pRasEnumConnectionsA = RealRasEnumConnections;
RasGetConnectStatusFn pRasGetConnectStatusA = RealRasGetConnectStatus;
DWORD trayRetryWaitMs = 5000;

void RestoreSeams()
{
    pShellNotifyIconA = Shell_NotifyIconA;
    pSetTimer = SetTimer;
    pFindFirstFileA = FindFirstFileA;
    pWinHelpA = WinHelpByFullPath;
    pGetModuleFileNameA = GetModuleFileNameA;
    pRasEnumConnectionsA = RealRasEnumConnections;
    pRasGetConnectStatusA = RealRasGetConnectStatus;
    trayRetryWaitMs = 5000;
}

// rasapi32 is looked up on first use, once: most runs never make a line
// check, a system without RAS then simply answers "no connection", and a
// poll tick costs no more than the two RAS calls themselves.
static RasEnumConnectionsFn rasEnum;
static RasGetConnectStatusFn rasStatus;

static void LoadRas()
{
    static LONG looked;
    if (looked)
        return;
    looked = 1;
    HMODULE ras = LoadSystemDll("rasapi32.dll");
    if (ras == NULL)
        return;
    rasEnum = (RasEnumConnectionsFn)(void *)GetProcAddress(ras, "RasEnumConnectionsA");
    rasStatus = (RasGetConnectStatusFn)(void *)GetProcAddress(ras, "RasGetConnectStatusA");
}

static DWORD WINAPI RealRasEnumConnections(void *conns, DWORD *bytes, DWORD *count)
{
    LoadRas();
    return rasEnum != NULL ? rasEnum(conns, bytes, count) : ERROR_CALL_NOT_IMPLEMENTED;
}

static DWORD WINAPI RealRasGetConnectStatus(HANDLE conn, void *status)
{
    LoadRas();
    return rasStatus != NULL ? rasStatus(conn, status) : ERROR_CALL_NOT_IMPLEMENTED;
}
