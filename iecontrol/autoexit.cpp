// The auto-exit poll: ends the program when the dial-up line drops or when
// the last Internet Explorer window is gone, each only after a first sighting.
#include "iecontrol/autoexit.h"
#include "iecontrol/census.h"
#include "shell/appstate.h"
#include "shell/mainwnd.h"
#include "shell/seams.h"

// The poll only needs a yes or no, so its census has a table of its own and
// never races the start-up or shutdown census over the shared one.
static DWORD pollPids[IEPIDS_MAX];
static LONG pollPidCount;
static volatile LONG stopMonitor;
static LONG waitingForMonitor;  // a StopAutoExitPoll waits for the thread
#define MONITOR_STOP_WAIT_MS 1000

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
    // Shutdown has asked the thread to stop: no more requests.
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

// The thread may be waiting in SendMessage for us to answer its WM_CLOSE, and
// then cannot see the stop flag: answer sent messages while we wait.
static int WaitForMonitorThread(DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms)
            return WaitForSingleObject(app.monitorThread, 0) == WAIT_OBJECT_0;
        DWORD woken = MsgWaitForMultipleObjects(1, &app.monitorThread, FALSE, ms - elapsed, QS_SENDMESSAGE);
        if (woken == WAIT_OBJECT_0)
            return 1;
        if (woken == WAIT_FAILED)
            return 0;
    }
}

void StopAutoExitPoll()
{
    if (app.monitorThread != NULL && waitingForMonitor) {
        // Called again from a message answered during the wait below (a
        // session end, which must not return before the exit values are
        // written): there is no time left to wait. The outer call, woken by
        // the thread's end, closes the handle.
        TerminateThread(app.monitorThread, 0);
    } else if (app.monitorThread != NULL) {
        // Let the thread leave between passes rather than cutting it off
        // inside a window walk with a lock held; force it only if it hangs.
        stopMonitor = 1;
        waitingForMonitor = 1;
        if (!WaitForMonitorThread(MONITOR_STOP_WAIT_MS))
            TerminateThread(app.monitorThread, 0);
        waitingForMonitor = 0;
        CloseHandle(app.monitorThread);
        app.monitorThread = NULL;
        // Only the thread must stay quiet; a timer's tick may still ask.
        stopMonitor = 0;
    }
    if (app.pollTimerId != 0) {
        KillTimer(app.mainWindow, TIMER_POLL);
        app.pollTimerId = 0;
    }
}
