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
    app.shutdownDone = 0;
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

void RunShutdown()
{
    if (app.shutdownDone)
        return;
    app.shutdownDone = 1;
    StopAutoExitPoll();
    if (app.settingsRemoved == 0)
        ApplyValues(0);
    if (app.accelerators != NULL)
        DestroyAcceleratorTable(app.accelerators);
    app.accelerators = NULL;
    DeleteTrayIcon();
    if (app.EndIE == 1 && CountIeWindows() == 1)
        TerminateCollectedIe();
}

int SorrelwickMain(HINSTANCE instance, HINSTANCE prevInstance, int argc, char **argv)
{
    HWND running = FindWindowA(kAppName, kAppName);
    if (running != NULL) {
        char text[128];
        wsprintfA(text, "%s は既に起動されています。", kAppName);
        MessageBoxA(running, text, kAppName, MB_OK);
        return 0;
    }
    if (prevInstance != NULL)
        return 0;

    RegisterMainClass(instance);
    app.instance = instance;
    app.mainWindow = CreateWindowExA(WS_EX_TRANSPARENT, kAppName, kAppName, WS_POPUP, 0, 0, 0, 0,
                                     NULL, NULL, instance, NULL);
    ScanCommandLine(argc, argv);

    app.settingsDialog = NULL;
    app.aboutDialog = NULL;
    DetectSearchAssistantMode();
    InitStartValues();

    const char *failure = CaptureAutoCompleteValues();
    if (failure != NULL) {
        ShowErrorPair(app.mainWindow, failure);
        // Take the icon down with the window: a ghost icon would stay in the
        // tray until the mouse passes over it.
        DeleteTrayIcon();
        DestroyWindow(app.mainWindow);
        return 0;
    }
    CopyCapturedToConfigured();
    LoadConfiguration();

    app.accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDA_MAIN));
    if (app.KillIE == 1 && CountIeWindows() == 1) {
        app.ieKilledAtStartup = 1;
        TerminateCollectedIe();
    }
    ApplyValues(1);
    SetOnOffState(app.Enable);
    if (app.openSettingsAtStartup == 1)
        OpenSettingsDialog();
    StartAutoExitPoll();
    if (app.ieKilledAtStartup == 1 || (app.StartIE == 1 && CountIeWindows() == 0))
        LaunchIe(app.iePath);

    MSG msg;
    msg.wParam = 0;
    RunMessageLoop(&msg);
    RunShutdown();
    return (int)msg.wParam;
}
