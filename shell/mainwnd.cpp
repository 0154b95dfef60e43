// The hidden main window: tray notifications, menu and accelerator commands,
// the timers and the requests to end.
#include "about/about.h"
#include "dialog/dialog.h"
#include "iecontrol/autoexit.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "shell/appstate.h"
#include "shell/mainwnd.h"
#include "shell/startup.h"
#include "shell/tray.h"

#include <commctrl.h>

static UINT taskbarCreatedMessage;

// The settings dialog's commands: what its controls do when clicked, and
// Escape.
static int IsForwardedCommand(UINT command)
{
    return (command >= IDC_CLICKABLE_FIRST && command <= IDC_CLICKABLE_LAST) || command == IDC_PW_ASK_HINT
        || command == IDM_ESCAPE || (command >= IDC_BOX_HINT_FIRST && command <= IDC_BOX_HINT_LAST)
        || (command >= IDC_IE_CHECK_FIRST && command <= IDC_IE_CHECK_LAST);
}

// Accelerators always reach the main window; pass them on to the dialog
// whose control they name, Escape to the About box first.
static void ForwardCommand(UINT command)
{
    if (app.aboutDialog != NULL && command == IDM_ESCAPE) {
        SendMessageA(app.aboutDialog, WM_COMMAND, IDM_ESCAPE, 0);
    } else if (app.settingsDialog != NULL) {
        SetFocus(GetDlgItem(app.settingsDialog, command));
        SendMessageA(app.settingsDialog, WM_COMMAND, command, 0);
    }
}

static void HandleCommand(UINT command)
{
    switch (command) {
    case IDM_ON:
    case IDM_OFF:
        SetOnOffState(command == IDM_ON ? 1 : 0);
        ApplyValues(1);
        break;
    case IDM_SETTINGS:
        OpenSettingsDialog();
        break;
    case IDM_HELP:
        OpenHelpTopics();
        break;
    case IDM_ABOUT:
        OpenAboutDialog();
        break;
    case IDM_EXIT:
        PostQuitMessage(0);
        break;
    default:
        if (IsForwardedCommand(command))
            ForwardCommand(command);
        break;
    }
}

static void ShowTrayMenu(HWND window)
{
    POINT cursor;
    GetCursorPos(&cursor);
    // Without this the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(window);
    TrackPopupMenu(app.trayMenu, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, NULL);
    PostMessageA(window, WM_NULL, 0, 0);
}

static void BringDialogForward(HWND dialog, const RECT *initial)
{
    RECT rect;
    SetForegroundWindow(dialog);
    GetWindowRect(dialog, &rect);
    if (rect.left != initial->left || rect.top != initial->top)
        CenterWindowOnScreen(dialog);
}

static void BringDialogsForward()
{
    if (app.settingsDialog != NULL)
        BringDialogForward(app.settingsDialog, &app.settingsInitialRect);
    if (app.aboutDialog != NULL)
        BringDialogForward(app.aboutDialog, &app.aboutInitialRect);
}

static void HandleTrayNotify(HWND window, LPARAM mouse)
{
    int dialogOpen = app.settingsDialog != NULL || app.aboutDialog != NULL;
    switch (mouse) {
    case WM_RBUTTONUP:
        if (dialogOpen)
            BringDialogsForward();
        else if (app.trayMenu != NULL)
            ShowTrayMenu(window);
        break;
    case WM_LBUTTONUP:
        if (dialogOpen)
            BringDialogsForward();
        break;
    case WM_LBUTTONDBLCLK:
        if (!dialogOpen) {
            SetOnOffState(app.Enable == 1 ? 0 : 1);
            ApplyValues(1);
        }
        break;
    }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        taskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
        InitCommonControls();
        RegisterTrayIcon(window);
        return 1;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_CLOSE:
    case WM_QUERYENDSESSION:
        // Shutdown runs after the loop; the window stays until then.
        PostQuitMessage(0);
        return 1;
    case WM_ENDSESSION:
        // Once this returns the session may end the process at any moment,
        // before the loop gets to its shutdown: leave the user's values now.
        if (wParam)
            RunShutdown();
        return 0;
    case WM_QUERYOPEN:
        return 0;
    case WM_COMMAND:
        // Once the shutdown has run (a session's end), whatever is still in
        // the queue switches, writes and opens nothing.
        if (!app.shutdownBegun)
            HandleCommand(LOWORD(wParam));
        return 1;
    case WM_TIMER:
        if (wParam == TIMER_HELP)
            PlaceHelpWindow();
        else if (wParam == TIMER_POLL)
            AutoExitPoll();
        return DefWindowProcA(window, msg, wParam, lParam);
    case WM_TRAYNOTIFY:
        if (!app.shutdownBegun)
            HandleTrayNotify(window, lParam);
        return 0;
    default:
        if (taskbarCreatedMessage != 0 && msg == taskbarCreatedMessage) {
            if (!app.shutdownBegun)
                ReRegisterTrayIcon(window);
            return 1;
        }
        return DefWindowProcA(window, msg, wParam, lParam);
    }
}

void CALLBACK MainTimerProc(HWND window, UINT msg, UINT_PTR id, DWORD time)
{
    MainWindowProc(window, msg, id, time);
}
