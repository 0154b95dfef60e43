// Drives a running Sorrelwick from outside, as the shell would, for the
// screenshot script:
//   tray_poke.exe wait | menu | escape | key=C | close | gone | icon | notify=N | dialog
//                 | hover=ID | command=N [done=File]
// wait: until the main window exists; menu: the tray's right click, with the
// cursor over the notification area; escape: dismisses the popup menu;
// key=C: chooses the menu's item C; close: WM_CLOSE and wait until the program
// is gone; gone: the wait alone; icon: the shell holds its icon; notify=N: posts the
// tray notification with mouse message N (515 is a double click); dialog:
// until the settings dialog is shown; hover=ID: rests the mouse on control ID
// of the settings dialog until its hint shows.
// command=N: posts WM_COMMAND N, as the tray menu does (260: the About box).
// done=File gets "ok" or "failed" when the action is over, for callers that
// cannot see the exit code.
#include <windows.h>
#include <shellapi.h>
#include <stdlib.h>
#include <string.h>

#define WM_TRAYNOTIFY 0x8064

static HWND MainWindow()
{
    return FindWindowA("Sorrelwick", "Sorrelwick");
}

static HWND WaitFor(HWND (*find)(), DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = find();
        if (window != NULL || GetTickCount() - start >= timeoutMs)
            return window;
        Sleep(50);
    }
}

static HWND VisibleOfClass(const char *className)
{
    HWND window = NULL;
    while ((window = FindWindowExA(NULL, window, className, NULL)) != NULL) {
        if (IsWindowVisible(window))
            return window;
    }
    return NULL;
}

static HWND PopupMenu()
{
    return VisibleOfClass("#32768");
}

static HWND SettingsDialog()
{
    HWND dialog = FindWindowA("#32770", "Sorrelwick の設定");
    return dialog != NULL && IsWindowVisible(dialog) ? dialog : NULL;
}

static HWND VisibleTooltip()
{
    return VisibleOfClass("tooltips_class32");
}

static int Hover(int id)
{
    HWND control = GetDlgItem(WaitFor(SettingsDialog, 5000), id);
    RECT rect;
    if (control == NULL || !GetWindowRect(control, &rect))
        return 0;
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    // One move, then rest: the hint comes up after its delay.
    PostMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM((rect.right - rect.left) / 2, (rect.bottom - rect.top) / 2));
    return WaitFor(VisibleTooltip, 5000) != NULL;
}

static HWND NoMainWindow()
{
    // Anything non-null ends the wait: here, the window being gone.
    return MainWindow() == NULL ? GetDesktopWindow() : NULL;
}

static int Run(const char *action)
{
    if (strcmp(action, "wait") == 0)
        return WaitFor(MainWindow, 20000) != NULL;
    if (strcmp(action, "gone") == 0)
        return WaitFor(NoMainWindow, 10000) != NULL;
    HWND main = WaitFor(MainWindow, 5000);
    if (main == NULL)
        return 0;
    if (strcmp(action, "menu") == 0) {
        // The menu opens at the cursor: put it where the icon would be.
        RECT tray;
        HWND taskbar = FindWindowA("Shell_TrayWnd", NULL);
        if (taskbar != NULL && GetWindowRect(taskbar, &tray))
            SetCursorPos(tray.right - 40, (tray.top + tray.bottom) / 2);
        PostMessageA(main, WM_TRAYNOTIFY, 1, WM_RBUTTONUP);
        return WaitFor(PopupMenu, 5000) != NULL;
    }
    if (strcmp(action, "icon") == 0) {
        NOTIFYICONDATAA icon;
        ZeroMemory(&icon, sizeof(icon));
        icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
        icon.hWnd = main;
        icon.uID = 1;
        return Shell_NotifyIconA(NIM_MODIFY, &icon);
    }
    if (strcmp(action, "escape") == 0 || strncmp(action, "key=", 4) == 0) {
        HWND menu = PopupMenu();
        if (menu == NULL)
            return 0;
        if (action[0] == 'k')
            PostMessageA(menu, WM_CHAR, (BYTE)action[4], 0);
        else
            PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        DWORD start = GetTickCount();
        while (PopupMenu() != NULL && GetTickCount() - start < 5000)
            Sleep(50);
        return PopupMenu() == NULL;
    }
    if (strcmp(action, "close") == 0) {
        PostMessageA(main, WM_CLOSE, 0, 0);
        return WaitFor(NoMainWindow, 10000) != NULL;
    }
    if (strcmp(action, "dialog") == 0)
        return WaitFor(SettingsDialog, 10000) != NULL;
    if (strncmp(action, "hover=", 6) == 0)
        return Hover(atoi(action + 6));
    if (strncmp(action, "notify=", 7) == 0)
        return PostMessageA(main, WM_TRAYNOTIFY, 1, atoi(action + 7));
    if (strncmp(action, "command=", 8) == 0)
        return PostMessageA(main, WM_COMMAND, atoi(action + 8), 0);
    return 0;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const char *action = __argc > 1 ? __argv[1] : "";
    const char *done = NULL;
    for (int i = 2; i < __argc; i++) {
        if (strncmp(__argv[i], "done=", 5) == 0)
            done = __argv[i] + 5;
    }
    int ok = Run(action);
    if (done != NULL) {
        HANDLE file = CreateFileA(done, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written;
            WriteFile(file, ok ? "ok" : "failed", ok ? 2 : 6, &written, NULL);
            CloseHandle(file);
        }
    }
    return ok ? 0 : 1;
}
