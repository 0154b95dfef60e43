// The tray icon, its popup menu and the ON/OFF state they show.
#include "resources/resource.h"
#include "settings/registry.h"
#include "shell/appstate.h"
#include "shell/seams.h"
#include "shell/startup.h"
#include "shell/tray.h"

#define TRAY_RECORD_SIZE 88  // the first NOTIFYICONDATAA layout
#ifndef _WIN64
static_assert(TRAY_RECORD_SIZE == NOTIFYICONDATAA_V1_SIZE, "the record ends with its 64-byte tip");
#endif
#define TRAY_ATTEMPTS 5

static const struct {
    UINT command;
    const char *text;
} kTrayMenu[] = {
    {IDM_ON, "機能をONにする (&E)"},
    {IDM_OFF, "機能をOFFにする (&O)"},
    {0, NULL},
    {IDM_SETTINGS, "設　定 (&S)"},
    {0, NULL},
    {IDM_HELP, "ヘルプ (&H)"},
    {0, NULL},
    {IDM_ABOUT, "ﾊﾞｰｼﾞｮﾝ情報 (&V)"},
    {0, NULL},
    {IDM_EXIT, "終　了 (&X)"},
};

static void ShowStateInMenu(int on)
{
    if (app.trayMenu == NULL)
        return;
    CheckMenuItem(app.trayMenu, IDM_ON, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(app.trayMenu, IDM_OFF, MF_BYCOMMAND | (on ? MF_UNCHECKED : MF_CHECKED));
    SetMenuDefaultItem(app.trayMenu, on ? 0 : 1, TRUE);
}

static HMENU BuildTrayMenu()
{
    HMENU menu = CreatePopupMenu();
    for (unsigned i = 0; i < sizeof(kTrayMenu) / sizeof(kTrayMenu[0]); i++) {
        if (kTrayMenu[i].text == NULL)
            AppendMenuA(menu, MF_SEPARATOR, 0, NULL);
        else
            AppendMenuA(menu, MF_STRING, kTrayMenu[i].command, kTrayMenu[i].text);
    }
    return menu;
}

// Puts the state's icon and tip into the record; the icon it replaces is
// returned so the caller can free it once the shell holds the new one.
static HICON FillStateIcon(int on)
{
    HICON previous = app.trayIcon.hIcon;
    app.trayIcon.hIcon = (HICON)LoadImageA(app.instance, MAKEINTRESOURCEA(on ? IDI_ON : IDI_OFF),
                                           IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
    app.trayIcon.uID = 1;
    wsprintfA(app.trayIcon.szTip, "Sorrelwick : %s", on ? "ON" : "OFF");
    return previous;
}

static void ReleaseIcon(HICON icon)
{
    if (icon != NULL)
        DestroyIcon(icon);
}

void RegisterTrayIcon(HWND window)
{
    for (int attempt = 0; attempt < TRAY_ATTEMPTS; attempt++) {
        // A session end answered inside one of the shell's calls has shut
        // down and taken the icon away: it is not put up again.
        if (app.shutdownBegun)
            return;
        int on = app.Enable == 1;
        app.trayMenu = BuildTrayMenu();
        ShowStateInMenu(on);

        ZeroMemory(&app.trayIcon, sizeof(app.trayIcon));
        app.trayIcon.cbSize = TRAY_RECORD_SIZE;
        app.trayIcon.hWnd = window;
        app.trayIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        app.trayIcon.uCallbackMessage = WM_TRAYNOTIFY;
        FillStateIcon(on);

        if (pShellNotifyIconA(NIM_ADD, &app.trayIcon) || app.shutdownBegun)
            return;
        // Only a shell that is still starting is worth waiting for.
        if (GetLastError() != ERROR_TIMEOUT)
            return;
        Sleep(trayRetryWaitMs);
        if (pShellNotifyIconA(NIM_MODIFY, &app.trayIcon) || app.shutdownBegun)
            return;

        pShellNotifyIconA(NIM_DELETE, &app.trayIcon);
        DestroyMenu(app.trayMenu);
        app.trayMenu = NULL;
        ReleaseIcon(app.trayIcon.hIcon);
        app.trayIcon.hIcon = NULL;
    }
    if (app.shutdownBegun)
        return;
    ShowErrorPair(window, "タスクトレイにアイコンを登録できませんでした");
    PostQuitMessage(0);
}

void DeleteTrayIcon()
{
    pShellNotifyIconA(NIM_DELETE, &app.trayIcon);
    if (app.trayMenu != NULL)
        DestroyMenu(app.trayMenu);
    app.trayMenu = NULL;
    ReleaseIcon(app.trayIcon.hIcon);
    app.trayIcon.hIcon = NULL;
}

// Explorer was restarted, so our icon is gone: add it again.
void ReRegisterTrayIcon(HWND window)
{
    DeleteTrayIcon();
    RegisterTrayIcon(window);
}

void SetOnOffState(LONG state)
{
    int on = state == 1;
    app.Enable = on ? 1 : 0;
    ShowStateInMenu(on);
    HICON previous = FillStateIcon(on);
    pShellNotifyIconA(NIM_MODIFY, &app.trayIcon);
    ReleaseIcon(previous);
    WriteProgramDword("Enable", app.Enable);
}
