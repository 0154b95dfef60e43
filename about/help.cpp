// The WinHelp help topics and the centring of windows on the screen.
#include "about/about.h"
#include "shell/appstate.h"
#include "shell/mainwnd.h"
#include "shell/seams.h"

static const char kHelpFile[] = "Sorrelwick.hlp";
static const char kHelpTopicsTitle[] = "トピックの検索: Sorrelwick ヘルプ";
// Time for WinHelp to open its window before it is centred.
#define HELP_PLACE_DELAY_MS 1000

void OpenHelpTopics()
{
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
