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

static int IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Whether the last part of a name has an extension. A '.' is never the
// second byte of a double-byte character, but a '\' can be.
static int HasExtension(const char *name)
{
    int dot = 0;
    for (const char *p = name; *p != '\0'; p++) {
        if (IsDBCSLeadByte((BYTE)*p) && p[1] != '\0')
            p++;
        else if (*p == '.')
            dot = 1;
        else if (*p == '\\' || *p == '/')
            dot = 0;
    }
    return dot;
}

// A program file as CreateProcessA finds one: ".exe" added when the name has
// no extension, the search path for a name without a folder. A folder never
// counts.
static int NamesProgramFile(const char *name)
{
    char candidate[IEPATH_SIZE + 4];
    char found[MAX_PATH];
    if (name[0] == '\0')
        return 0;
    lstrcpynA(candidate, name, IEPATH_SIZE);
    if (!HasExtension(candidate))
        lstrcatA(candidate, ".exe");
    DWORD length = SearchPathA(NULL, candidate, NULL, sizeof(found), found, NULL);
    if (length == 0 || length >= sizeof(found))
        return 0;
    DWORD attributes = GetFileAttributesA(found);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A name with wildcards, which no program file can have, still marks where
// the program ends when some file matches it, so that such a pattern is one
// program part as a whole. '*' and '?' are never the second byte of a
// double-byte character.
static int MatchesPattern(const char *name)
{
    int wildcard = 0;
    for (const char *p = name; *p != '\0'; p++)
        wildcard = wildcard || *p == '*' || *p == '?';
    if (!wildcard)
        return 0;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(name, &data);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    return 1;
}

int FindIeProgram(const char *text, char *program, int *length)
{
    char name[IEPATH_SIZE];
    lstrcpynA(name, text, IEPATH_SIZE);
    int size = lstrlenA(name);
    // A blank or a quote is never the second byte of a double-byte character.
    if (name[0] == '"') {
        int end = 1;
        while (end < size && name[end] != '"')
            end++;
        lstrcpynA(program, name + 1, end);
        *length = end < size ? end + 1 : size;
        return NamesProgramFile(program);
    }
    // Longest first: a file at a shorter prefix (C:\Program.exe) is a decoy
    // whenever a longer one exists.
    for (int end = size; end > 0; end--) {
        if (IsBlank(name[end - 1]) || (end < size && !IsBlank(name[end])))
            continue;
        char saved = name[end];
        name[end] = '\0';
        int exists = NamesProgramFile(name);
        if (exists || MatchesPattern(name)) {
            lstrcpyA(program, name);
            *length = end;
            return exists;
        }
        name[end] = saved;
    }
    int end = 0;
    while (end < size && !IsBlank(name[end]))
        end++;
    lstrcpynA(program, name, end + 1);
    *length = end;
    return 0;
}

// The stored text is a command line: a program and its arguments. The
// program found in it is quoted when it holds a blank, so that
// CreateProcessA, which still searches the path and adds ".exe", never tries
// a shorter prefix of it; the arguments follow as typed.
int LaunchIe(char *commandLine)
{
    char text[IEPATH_SIZE];
    char program[IEPATH_SIZE];
    char line[IEPATH_SIZE + 2];
    int length;
    lstrcpynA(text, commandLine, IEPATH_SIZE);
    FindIeProgram(text, program, &length);
    int blank = 0;
    for (const char *p = program; *p != '\0'; p++)
        blank = blank || IsBlank(*p);
    if (text[0] != '"' && blank) {
        line[0] = '"';
        lstrcpyA(line + 1, program);
        lstrcatA(line, "\"");
        lstrcatA(line, text + length);
    } else {
        lstrcpyA(line, text);
    }

    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    ZeroMemory(&process, sizeof(process));
    if (!CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return 0;
    // Nothing waits for Internet Explorer; keep no handle to it.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 1;
}
