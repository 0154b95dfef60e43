// Internet Explorer census: top-level "IEFrame" windows and their processes.
#include "iecontrol/census.h"

#include "shell/appstate.h"

struct CensusTarget {
    DWORD *pids;
    LONG *count;
};

BOOL CALLBACK CollectIeWindow(HWND window, LPARAM param)
{
    CensusTarget *target = (CensusTarget *)param;
    char className[512];
    // A window that vanished mid-walk ends the census with what it has.
    if (GetClassNameA(window, className, sizeof(className)) == 0)
        return FALSE;
    if (lstrcmpiA(className, "IEFrame") != 0)
        return TRUE;
    if (*target->count == IEPIDS_MAX)
        return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    target->pids[(*target->count)++] = pid;
    return TRUE;
}

int CountIeWindowsInto(DWORD *pids, LONG *count)
{
    CensusTarget target = {pids, count};
    *count = 0;
    EnumWindows(CollectIeWindow, (LPARAM)&target);
    return *count != 0;
}

int CountIeWindows()
{
    return CountIeWindowsInto(app.iePids, &app.iePidCount);
}

int TerminateProcessById(DWORD pid)
{
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, pid);
    if (process == NULL)
        return 0;
    BOOL terminated = TerminateProcess(process, 0);
    CloseHandle(process);
    return terminated;
}

// Newest window first; a process met twice fails quietly the second time.
void TerminateCollectedIe()
{
    while (app.iePidCount != 0) {
        TerminateProcessById(app.iePids[app.iePidCount - 1]);
        app.iePidCount--;
    }
}

int LaunchIe(char *commandLine)
{
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    ZeroMemory(&process, sizeof(process));
    if (!CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return 0;
    // Nothing waits for Internet Explorer; keep no handle to it.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 1;
}
