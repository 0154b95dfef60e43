// Misbehaves as a test program can, for the test of the harness that runs the
// test programs (tests/harness/isolation.sh):
//   hang-after-summary  prints a passing GoogleTest summary, then never ends;
//   hang                prints a test's first line, then never ends;
//   leave-copies        starts Sorrelwick.exe, then a second copy whose
//                       "already running" box stays open, prints a passing
//                       summary and ends without ending either.
// Its hangs last ten minutes, far past the harness's bounds, so that even a
// broken harness leaves nothing running for long.
#include <windows.h>

#include <stdio.h>
#include <string.h>

static void PrintPassingSummary()
{
    printf("[==========] 1 test from 1 test suite ran. (1 ms total)\n[  PASSED  ] 1 test.\n");
    fflush(stdout);
}

static void SetYes(const char *path, const char *name)
{
    HKEY key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, path, &key) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)"yes", 4);
    RegCloseKey(key);
}

static DWORD StartSorrelwick(const char *dir)
{
    char exe[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, exe, MAX_PATH);
    while (n > 0 && exe[n - 1] != '\\')
        n--;
    lstrcpyA(exe + n, "Sorrelwick.exe");
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info;
    if (!CreateProcessA(exe, NULL, NULL, NULL, FALSE, 0, NULL, dir, &startup, &info))
        return 0;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return info.dwProcessId;
}

struct Search {
    DWORD pid;
    const char *cls;
    HWND found;
};

static BOOL CALLBACK FindOf(HWND window, LPARAM param)
{
    Search *search = (Search *)param;
    DWORD pid = 0;
    char cls[64];
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || !GetClassNameA(window, cls, sizeof(cls)) || lstrcmpA(cls, search->cls) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

// A top-level window of that process and class, within 30 s.
static bool WaitForWindowOf(DWORD pid, const char *cls)
{
    for (int i = 0; i < 300; i++) {
        Search search = {pid, cls, NULL};
        EnumWindows(FindOf, (LPARAM)&search);
        if (search.found != NULL)
            return true;
        Sleep(100);
    }
    return false;
}

int main(int argc, char **argv)
{
    const char *mode = argc > 1 ? argv[1] : "";
    if (strcmp(mode, "hang-after-summary") == 0) {
        PrintPassingSummary();
        Sleep(600000);
    }
    if (strcmp(mode, "hang") == 0) {
        printf("[ RUN      ] Probe.Hang\n");
        fflush(stdout);
        Sleep(600000);
    }
    if (strcmp(mode, "leave-copies") == 0) {
        SetYes("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoComplete", "AutoSuggest");
        SetYes("Software\\Microsoft\\Internet Explorer\\Main", "Use FormSuggest");
        SetYes("Software\\Microsoft\\Search Assistant", "Unused");
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        DWORD first = StartSorrelwick(dir);
        if (first == 0 || !WaitForWindowOf(first, "Sorrelwick"))
            return 2;
        DWORD second = StartSorrelwick(dir);
        if (second == 0 || !WaitForWindowOf(second, "#32770"))
            return 3;
        PrintPassingSummary();
        return 0;
    }
    return 1;
}
