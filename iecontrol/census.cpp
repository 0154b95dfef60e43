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

// The stored path names one file: launch exactly that file. Handed over
// unquoted, "C:\Program Files\..." would have the system try C:\Program.exe
// and every other shorter prefix first. A path stored in quotes (an older or
// hand-edited store) already is a command line and is used as it stands.
int LaunchIe(char *commandLine)
{
    char program[IEPATH_SIZE];
    char quoted[IEPATH_SIZE + 2];
    char *line = commandLine;
    if (commandLine[0] == '"') {
        const char *end = commandLine + 1;
        while (*end != '\0' && *end != '"')
            end++;
        lstrcpynA(program, commandLine + 1, (int)(end - commandLine));
    } else {
        lstrcpynA(program, commandLine, IEPATH_SIZE);
        quoted[0] = '"';
        lstrcpyA(quoted + 1, program);
        lstrcatA(quoted, "\"");
        line = quoted;
    }

    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    ZeroMemory(&process, sizeof(process));
    if (!CreateProcessA(program, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return 0;
    // Nothing waits for Internet Explorer; keep no handle to it.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 1;
}
