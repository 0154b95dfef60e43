// The auto-exit poll: ends the program when the dial-up line drops or when
// the last Internet Explorer window is gone, each only after a first sighting.
#include "iecontrol/census.h"
#include "shell/appstate.h"
#include "shell/seams.h"

#define RAS_CONNECTED 0x2000
#define RAS_DISCONNECTED 0x2001

// The Windows XP layouts of RASCONNA and RASCONNSTATUSA.
struct RasConnXp {
    DWORD dwSize;
    HANDLE hrasconn;
    char rest[696];
};
struct RasConnStatusXp {
    DWORD dwSize;
    DWORD rasconnstate;
    DWORD dwError;
    char szDeviceType[17];
    char szDeviceName[129];
    char szPhoneNumber[129];
};
#ifndef _WIN64
static_assert(sizeof(RasConnXp) == 704, "RASCONNA is 704 bytes");
static_assert(sizeof(RasConnStatusXp) == 288, "RASCONNSTATUSA is 288 bytes");
#endif

// The poll only needs a yes or no, so its census has a table of its own and
// never races the start-up or shutdown census over the shared one.
static DWORD pollPids[IEPIDS_MAX];
static LONG pollPidCount;
static volatile LONG stopMonitor;

LONG CheckRasConnection()
{
    RasConnXp conn;
    ZeroMemory(&conn, sizeof(conn));
    conn.dwSize = sizeof(conn);
    DWORD bytes = sizeof(conn);
    DWORD count = 0;
    // Two or more connections do not fit the buffer and fail here too.
    if (pRasEnumConnectionsA(&conn, &bytes, &count) != 0 || count == 0)
        return 0;

    RasConnStatusXp status;
    ZeroMemory(&status, sizeof(status));
    status.dwSize = sizeof(status);
    if (pRasGetConnectStatusA(conn.hrasconn, &status) != 0)
        return 0;
    if (status.rasconnstate == RAS_CONNECTED || status.rasconnstate == RAS_DISCONNECTED)
        return status.rasconnstate;
    return 0;
}

static void RequestExit()
{
    // Once shutdown has begun nobody answers a sent message any more.
    if (!stopMonitor)
        SendMessageA(app.mainWindow, WM_CLOSE, 0, 0);
}

void AutoExitPoll()
{
    // The settings dialog may change it on another thread; read it once.
    LONG exitType = *(volatile LONG *)&app.ExitType;
    if (exitType == 1) {
        if (app.rasLastState != RAS_CONNECTED)
            app.rasLastState = CheckRasConnection();
        else if (CheckRasConnection() == RAS_DISCONNECTED)
            RequestExit();
    } else if (exitType == 2) {
        if (app.ieSeen == 0)
            app.ieSeen = CountIeWindowsInto(pollPids, &pollPidCount);
        else if (CountIeWindowsInto(pollPids, &pollPidCount) == 0)
            RequestExit();
    }
}

DWORD WINAPI AutoExitThread(LPVOID)
{
    while (!stopMonitor)
        AutoExitPoll();
    return 0;
}

void StartAutoExitPoll()
{
    app.pollTimerId = pSetTimer(app.mainWindow, TIMER_POLL, 500, MainTimerProc);
    if (app.pollTimerId != 0)
        return;
    stopMonitor = 0;
    app.monitorThread = CreateThread(NULL, 0, AutoExitThread, (LPVOID)1, 0, NULL);
    if (app.monitorThread != NULL)
        SetThreadPriority(app.monitorThread, THREAD_PRIORITY_LOWEST);
}

void StopAutoExitPoll()
{
    if (app.monitorThread != NULL) {
        // Let the thread leave between passes rather than cutting it off
        // inside a window walk with a lock held; force it only if it hangs
        // (for instance in a WM_CLOSE that this thread no longer answers).
        stopMonitor = 1;
        if (WaitForSingleObject(app.monitorThread, 1000) != WAIT_OBJECT_0)
            TerminateThread(app.monitorThread, 0);
        CloseHandle(app.monitorThread);
        app.monitorThread = NULL;
    }
    if (app.pollTimerId != 0) {
        KillTimer(app.mainWindow, TIMER_POLL);
        app.pollTimerId = 0;
    }
}
