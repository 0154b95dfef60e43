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

// Length of the program at the start of an unquoted command line: the whole
// text when it names a file, else up to the first ".exe" that ends a word.
static int ProgramLength(const char *text)
{
    DWORD attributes = GetFileAttributesA(text);
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return lstrlenA(text);
    // A '.' never ends a double-byte character, and a NUL fails each test
    // before the next byte is read.
    for (const char *p = text; *p != '\0'; p++) {
        if (p[0] == '.' && (p[1] | 0x20) == 'e' && (p[2] | 0x20) == 'x' && (p[3] | 0x20) == 'e' &&
            (p[4] == ' ' || p[4] == '\t' || p[4] == '\0'))
            return (int)(p - text) + 4;
    }
    return lstrlenA(text);
}

// The stored text is a command line: a program and its arguments. The program
// found in it goes to CreateProcessA as the application name, so that an
// unquoted "C:\Program Files\..." never makes the system try C:\Program.exe
// or another shorter prefix. A program path with blanks is quoted on the
// command line so that the program reads its own name back as one argument.
int LaunchIe(char *commandLine)
{
    char text[IEPATH_SIZE];
    char program[IEPATH_SIZE];
    char line[IEPATH_SIZE + 2];
    lstrcpynA(text, commandLine, IEPATH_SIZE);
    lstrcpyA(line, text);
    if (text[0] == '"') {
        const char *end = text + 1;
        while (*end != '\0' && *end != '"')
            end++;
        lstrcpynA(program, text + 1, (int)(end - text));
    } else {
        int length = ProgramLength(text);
        lstrcpynA(program, text, length + 1);
        int blank = 0;
        for (const char *p = program; *p != '\0'; p++)
            blank = blank || *p == ' ' || *p == '\t';
        if (blank) {
            line[0] = '"';
            lstrcpyA(line + 1, program);
            lstrcatA(line, "\"");
            lstrcatA(line, text + length);
        }
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
