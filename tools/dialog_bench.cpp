// Opens and closes the settings dialog 100 times the way the tray's Settings
// command does and reports what the process holds before and after, and the
// time from the command to the dialog shown with its hints beside a bare
// CreateDialogParamA of the same template. Run by scripts/bench-dialog.sh.
#include <windows.h>
#include <psapi.h>
#include <stdio.h>

#include "dialog/dialog.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "shell/appstate.h"
#include "shell/mainwnd.h"
#include "shell/startup.h"
#include "shell/tray.h"

#define ROUNDS 100

static BOOL CALLBACK CountWindow(HWND window, LPARAM count)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == GetCurrentProcessId()) {
        (*(int *)count)++;
        EnumChildWindows(window, CountWindow, count);
    }
    return TRUE;
}

static void Report(const char *when)
{
    int windows = 0;
    EnumWindows(CountWindow, (LPARAM)&windows);
    PROCESS_MEMORY_COUNTERS_EX memory;
    ZeroMemory(&memory, sizeof(memory));
    GetProcessMemoryInfo(GetCurrentProcess(), (PROCESS_MEMORY_COUNTERS *)&memory, sizeof(memory));
    SetLastError(0);
    DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    DWORD error = GetLastError();
    printf("%-7s windows %d, private bytes %lu, ", when, windows, (unsigned long)(memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage));
    if (error != 0)
        printf("USER/GDI objects not reported (error %lu)\n", error);
    else
        printf("USER objects %lu, GDI objects %lu\n", user, gdi);
}

static INT_PTR CALLBACK BareProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

static double Ms(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency)
{
    return (double)(to.QuadPart - from.QuadPart) * 1000.0 / (double)frequency.QuadPart;
}

static void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // The product's resources are linked in, as in the real program: icons
    // loaded from a module mapped as data are not shared and would grow the
    // process on every opening.
    app.instance = GetModuleHandleA(NULL);
    DetectSearchAssistantMode();
    InitStartValues();
    if (CaptureAutoCompleteValues() != NULL) {
        printf("no Internet Explorer values to show\n");
        return 1;
    }
    CopyCapturedToConfigured();
    LoadConfiguration();

    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = app.instance;
    wc.lpszClassName = "SorrelwickBench";
    RegisterClassA(&wc);
    app.mainWindow = CreateWindowExA(0, wc.lpszClassName, "bench", WS_POPUP, 0, 0, 0, 0, NULL, NULL,
                                     wc.hInstance, NULL);

    // Two passes of openings: memory that grows in both is the program's.
    // One round first, so that one-time set-up (fonts, classes) is not counted.
    SendMessageA(app.mainWindow, WM_COMMAND, IDM_SETTINGS, 0);
    SendMessageA(app.settingsDialog, WM_COMMAND, IDM_ESCAPE, 0);
    Pump();
    Report("before");

    LARGE_INTEGER frequency, start, shown, end;
    QueryPerformanceFrequency(&frequency);
    double opened = 0, bare = 0;
    for (int pass = 0; pass < 2; pass++) {
        for (int i = 0; i < ROUNDS; i++) {
            QueryPerformanceCounter(&start);
            SendMessageA(app.mainWindow, WM_COMMAND, IDM_SETTINGS, 0);
            QueryPerformanceCounter(&shown);
            if (app.settingsDialog == NULL || !IsWindowVisible(app.settingsDialog) || HintTooltip(IDC_DELETE_BUTTON) == NULL) {
                printf("round %d: the dialog did not open with its hints\n", i);
                return 1;
            }
            opened += Ms(start, shown, frequency);
            SendMessageA(app.settingsDialog, WM_COMMAND, IDM_ESCAPE, 0);
            Pump();
        }
        Report(pass == 0 ? "after" : "again");
    }
    // The same number of bare dialogs, to tell the platform's own growth
    // from the program's.
    for (int i = 0; i < ROUNDS; i++) {
        QueryPerformanceCounter(&start);
        HWND dialog = CreateDialogParamA(app.instance, "IDC_SORRELWICK", app.mainWindow, BareProc, 0);
        QueryPerformanceCounter(&end);
        bare += Ms(start, end, frequency);
        DestroyWindow(dialog);
        Pump();
    }
    Report("bare");
    printf("command 258 to the dialog shown with its hints: %.2f ms on average\n", opened / (2 * ROUNDS));
    printf("bare CreateDialogParamA of the same template:   %.2f ms on average\n", bare / ROUNDS);
    DeleteTrayIcon();
    RunShutdown();
    return 0;
}
