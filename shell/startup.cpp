// Start-up, the message loop and shutdown.
#include "about/about.h"
#include "dialog/dialog.h"
#include "iecontrol/autoexit.h"
#include "iecontrol/census.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "shell/appstate.h"
#include "shell/mainwnd.h"
#include "shell/startup.h"
#include "shell/tray.h"

AppState app;
const char kAppName[] = "Sorrelwick";

static const char kExitText[] = "終了します。";

void ShowErrorPair(HWND owner, const char *text)
{
    MessageBoxA(owner, text, kAppName, MB_OK | MB_ICONERROR);
    MessageBoxA(owner, kExitText, kAppName, MB_OK | MB_ICONERROR);
}

int IsHelpSwitch(const char *arg)
{
    return arg[0] == '-' && (arg[1] == '?' || arg[1] == 'h' || arg[1] == 'H') && arg[2] == '\0';
}

void ScanCommandLine(int argc, char **argv)
{
    for (int i = 1; i < argc; i++) {
        if (IsHelpSwitch(argv[i]))
            OpenHelpTopics();
    }
}

void InitStartValues()
{
    app.ieSeen = 0;
    app.rasLastState = 0;
    app.settingsRemoved = 0;
    app.settingsDialogEnabled = 1;
    app.helpWindow = NULL;
    app.monitorThread = NULL;
    app.openSettingsAtStartup = 0;
    app.ieKilledAtStartup = 0;
    app.pollTimerId = 0;
}

static void RegisterMainClass(HINSTANCE instance)
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_SAVEBITS | CS_BYTEALIGNCLIENT;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(GRAY_BRUSH);
    wc.lpszClassName = kAppName;
    RegisterClassA(&wc);
}

static void RunMessageLoop(MSG *msg)
{
    // GetMessage answers -1 on a bad call; that must end the loop too.
    while (GetMessageA(msg, NULL, 0, 0) > 0) {
        if (TranslateAcceleratorA(app.mainWindow, app.accelerators, msg))
            continue;
        if (app.settingsDialog != NULL && IsDialogMessageA(app.settingsDialog, msg))
            continue;
        if (app.aboutDialog != NULL && IsDialogMessageA(app.aboutDialog, msg))
            continue;
        TranslateMessage(msg);
        DispatchMessageA(msg);
    }
}

#define SHUTDOWN_STEPS 5

static void RunShutdownStep(LONG step)
{
    switch (step) {
    case 0:
        if (app.settingsRemoved == 0)
            ApplyValues(0);
        break;
    case 1:
        if (app.accelerators != NULL)
            DestroyAcceleratorTable(app.accelerators);
        app.accelerators = NULL;
        break;
    case 2:
        DeleteTrayIcon();
        break;
    case 3:
        if (app.EndIE == 1 && CountIeWindows() == 1)
            TerminateCollectedIe();
        break;
    case 4:
        DeleteRunCaptured();
        break;
    }
}

// A session end answered while a call waits (for the poll's thread, inside
// the shell's icon call) comes back in here, and the session may end the
// process as soon as it returns. So every step is claimed before it runs:
// an inner call stops the thread at once and takes the steps still left,
// and the outer call then finds them done.
void RunShutdown()
{
    app.shutdownBegun = 1;
    StopAutoExitPoll();
    while (app.shutdownStep < SHUTDOWN_STEPS)
        RunShutdownStep(app.shutdownStep++);
}

// After a shutdown that a session end ran inside one of start-up's calls
// nothing more may be captured, applied, started or launched.
static int StopStartUp()
{
    DestroyWindow(app.mainWindow);
    return 0;
}

static int RunSorrelwick(HINSTANCE instance, int argc, char **argv)
{
    app.shutdownBegun = 0;
    app.shutdownStep = 0;
    app.valuesCaptured = 0;
    app.runCapturedWritten = 0;
    app.configuredInPlace = 0;
    RegisterMainClass(instance);
    app.instance = instance;
    app.mainWindow = CreateWindowExA(WS_EX_TRANSPARENT, kAppName, kAppName, WS_POPUP, 0, 0, 0, 0,
                                     NULL, NULL, instance, NULL);
    ScanCommandLine(argc, argv);
    if (app.shutdownBegun)
        return StopStartUp();

    app.settingsDialog = NULL;
    app.aboutDialog = NULL;
    DetectSearchAssistantMode();
    InitStartValues();

    const char *failure = CaptureAutoCompleteValues();
    if (failure != NULL) {
        // Take the icon down first: a ghost icon would stay in the tray
        // until the mouse passes over it, and its menu must not switch
        // anything while the boxes are up.
        DeleteTrayIcon();
        ShowErrorPair(app.mainWindow, failure);
        DestroyWindow(app.mainWindow);
        return 0;
    }
    CopyCapturedToConfigured();
    // It also writes this run's journal, before anything is applied.
    LoadConfiguration();

    app.accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDA_MAIN));
    if (app.KillIE == 1 && CountIeWindows() == 1) {
        app.ieKilledAtStartup = 1;
        TerminateCollectedIe();
    }
    ApplyValues(1);
    SetOnOffState(app.Enable);
    if (!app.shutdownBegun && app.openSettingsAtStartup == 1)
        OpenSettingsDialog();
    if (app.shutdownBegun)
        return StopStartUp();
    StartAutoExitPoll();
    if (app.ieKilledAtStartup == 1 || (app.StartIE == 1 && CountIeWindows() == 0))
        LaunchIe(app.iePath);

    MSG msg;
    msg.wParam = 0;
    RunMessageLoop(&msg);
    RunShutdown();
    return (int)msg.wParam;
}

// Created in one step with the check, so that of two copies started together
// only one passes. "Local\" keeps it to this session where there are
// sessions and is ignored where there are none.
static const char kInstanceMutex[] = "Local\\Tarrow.Sorrelwick.Running";

int SorrelwickMain(HINSTANCE instance, HINSTANCE prevInstance, int argc, char **argv)
{
    SetLastError(0);
    HANDLE mutex = CreateMutexA(NULL, FALSE, kInstanceMutex);
    int taken = mutex != NULL && GetLastError() == ERROR_ALREADY_EXISTS;
    // The window still tells of a copy of a version without the mutex, and
    // decides alone where the mutex cannot be made. The first copy may not
    // have its window yet: the box then has no owner.
    HWND running = FindWindowA(kAppName, kAppName);
    int code = 0;
    if (taken || running != NULL) {
        // Only a copy that goes on to run holds the name: a box left open
        // must not keep every later start out once the running copy ends.
        if (mutex != NULL)
            CloseHandle(mutex);
        mutex = NULL;
        char text[128];
        wsprintfA(text, "%s は既に起動されています。", kAppName);
        MessageBoxA(running, text, kAppName, MB_OK);
    } else if (prevInstance == NULL) {
        code = RunSorrelwick(instance, argc, argv);
    }
    if (mutex != NULL)
        CloseHandle(mutex);
    return code;
}
