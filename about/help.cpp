// The WinHelp help topics and the centring of windows on the screen.
#include "about/about.h"
#include "shell/appstate.h"
#include "shell/mainwnd.h"
#include "shell/seams.h"

static const char kHelpFile[] = "Sorrelwick.hlp";
static const char kHelpTopicsTitle[] = "トピックの検索: Sorrelwick ヘルプ";
// Time for WinHelp to open its window before it is centred.
#define HELP_PLACE_DELAY_MS 1000
// How long a starting viewer may take to be ready for WinHelp's request.
#define HELP_VIEWER_WAIT_MS 10000

static int HelpViewerOpen()
{
    return FindWindowA("MS_WINHELP", NULL) != NULL;
}

// WinHelp itself starts its viewer by the bare name "winhlp32.exe", which is
// looked for in the program's own folder and the current folder before the
// system's: a file of that name put there would run. So the system's viewer
// is started here by its full path, and WinHelp then finds its window and
// starts nothing. Windows keeps it in the Windows folder, Wine in the system
// folder; without one there, no help opens and nothing else runs.
BOOL WINAPI WinHelpByFullPath(HWND window, LPCSTR file, UINT command, ULONG_PTR data)
{
    for (int folder = 0; folder < 2 && !HelpViewerOpen(); folder++) {
        char path[MAX_PATH + 16];
        UINT length = folder == 0 ? GetWindowsDirectoryA(path, MAX_PATH) : GetSystemDirectoryA(path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            continue;
        if (path[length - 1] != '\\')
            path[length++] = '\\';
        lstrcpyA(path + length, "winhlp32.exe");
        DWORD attributes = GetFileAttributesA(path);
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            continue;
        char commandLine[MAX_PATH + 24];
        wsprintfA(commandLine, "\"%s\" -x", path);
        STARTUPINFOA startup;
        ZeroMemory(&startup, sizeof(startup));
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOW;
        PROCESS_INFORMATION process;
        if (!CreateProcessA(path, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
            return FALSE;
        WaitForInputIdle(process.hProcess, HELP_VIEWER_WAIT_MS);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        break;
    }
    if (!HelpViewerOpen())
        return FALSE;
    return WinHelpA(window, file, command, data);
}

void OpenHelpTopics()
{
    // Nothing is opened once the shutdown has run (a session's end).
    if (app.shutdownBegun)
        return;
    pWinHelpA(app.mainWindow, kHelpFile, HELP_FINDER, 0);
    SetTimer(app.mainWindow, TIMER_HELP, HELP_PLACE_DELAY_MS, MainTimerProc);
}

static int IsHelpTopicsWindow(HWND window)
{
    char text[256];
    if (GetClassNameA(window, text, sizeof(text)) == 0 || lstrcmpA(text, "#32770") != 0)
        return 0;
    if (GetWindowTextA(window, text, sizeof(text)) == 0)
        return 0;
    // Byte for byte: a locale-aware comparison could call other texts equal.
    const char *expected = kHelpTopicsTitle;
    const char *actual = text;
    while (*actual != '\0' && *actual == *expected) {
        actual++;
        expected++;
    }
    return *actual == *expected;
}

static BOOL CALLBACK FindHelpTopicsWindow(HWND window, LPARAM)
{
    char className[256];
    if (GetClassNameA(window, className, sizeof(className)) == 0 || lstrcmpA(className, "MS_WINHELP") != 0)
        return TRUE;
    // The topics dialog stands next to WinHelp's main window in the Z order.
    for (HWND other = GetWindow(window, GW_HWNDPREV); other != NULL; other = GetWindow(other, GW_HWNDPREV)) {
        if (IsHelpTopicsWindow(other)) {
            app.helpWindow = other;
            return FALSE;
        }
    }
    for (HWND other = GetWindow(window, GW_HWNDNEXT); other != NULL; other = GetWindow(other, GW_HWNDNEXT)) {
        if (IsHelpTopicsWindow(other)) {
            app.helpWindow = other;
            break;
        }
    }
    return FALSE;
}

void PlaceHelpWindow()
{
    app.helpWindow = NULL;
    EnumWindows(FindHelpTopicsWindow, 0);
    if (app.helpWindow != NULL)
        CenterWindowOnScreen(app.helpWindow);
    KillTimer(app.mainWindow, TIMER_HELP);
}

void CenterWindowOnScreen(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    // Left edge on an 8-pixel boundary, as dialogs have always been placed.
    int x = ((GetSystemMetrics(SM_CXSCREEN) - width) / 2 + 4) & ~7;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    if (rect.left == x && rect.top == y)
        return;
    ShowWindow(window, SW_HIDE);
    MoveWindow(window, x, y, width, height, FALSE);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
}
