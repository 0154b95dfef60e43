// The main window procedure: what it answers, which messages end the run,
// its commands, the forwarding of accelerators and the tray double click.
#include "iecontrol/autoexit.h"
#include "settings/settings.h"
#include "shell/appstate.h"
#include "shell/mainwnd.h"
#include "shell/seams.h"
#include "shell/startup.h"
#include "shell/tray.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/wine_windows.h"
#include "tests/support/tray_fake.h"

#include <string>
#include <vector>

// Not "Sorrelwick": a black-box test running beside this one must not take
// it for a running copy.
static const char kTestClass[] = "SorrelwickUnderTest";

static HWND CreateMainWindow()
{
    RegisterTestClass(kTestClass, MainWindowProc);
    return CreateWindowExA(WS_EX_TRANSPARENT, kTestClass, "Sorrelwick", WS_POPUP, 0, 0, 0, 0, NULL,
                           NULL, GetModuleHandleA(NULL), NULL);
}

struct Received {
    HWND to;
    WPARAM wParam;
    LPARAM lParam;
    HWND focus;  // the keyboard focus when the command arrived
};
static std::vector<Received> received;

static LRESULT CALLBACK RecorderProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND)
        received.push_back({window, wParam, lParam, GetFocus()});
    return DefWindowProcA(window, msg, wParam, lParam);
}

// A stand-in for a dialog: a window with one static control per identifier.
static HWND CreateRecorder(const std::vector<int> &ids)
{
    RegisterTestClass("CommandRecorder", RecorderProc);
    HWND window = CreateWindowExA(0, "CommandRecorder", "recorder", WS_POPUP, 0, 0, 300, 200, NULL,
                                  NULL, GetModuleHandleA(NULL), NULL);
    for (int id : ids)
        CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, window, (HMENU)(INT_PTR)id, NULL, NULL);
    return window;
}

class MainWindow : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        UseFakeShell();
        app.instance = ProductResources();
        app.searchAssistantMode = 1;
        SeedTypicalIe();
        ASSERT_EQ(NULL, CaptureAutoCompleteValues());
        CopyCapturedToConfigured();
        // ON writes "no" and 0 where OFF writes "yes" and 1.
        CopyMemory(app.configured[AC_AUTOSUGGEST], "no\0\0", 4);
        ZeroMemory(app.configured[AC_AUTOCOMPLETE], 4);
        SetDword(kProgramPath, "Enable", 0);
        window = CreateMainWindow();
        ASSERT_NE(HWND(NULL), window);
        app.mainWindow = window;
        received.clear();
    }
    void TearDown() override
    {
        DeleteTrayIcon();
        DestroyWindow(window);
        TakeQuitRequest();
        AppTest::TearDown();
    }

    // Values that no apply writes, so that any apply shows.
    void MarkIeValues()
    {
        SetValue(kAcPath, "AutoSuggest", REG_SZ, "mrk", 4);
        SetDword(kSaPath, "AutoComplete", 9);
    }
    void ExpectIeMarked()
    {
        EXPECT_EQ(Bytes("mrk", 4), ReadValue(kAcPath, "AutoSuggest").bytes);
        EXPECT_EQ(DwordBytes(9), ReadValue(kSaPath, "AutoComplete").bytes);
    }
    // The configured set (ON) or the captured set (OFF) was applied.
    void ExpectIeShows(bool on)
    {
        RegValue suggest = ReadValue(kAcPath, "AutoSuggest");
        EXPECT_EQ(DWORD(REG_SZ), suggest.type);
        EXPECT_EQ(on ? Bytes("no\0\0", 4) : Bytes("yes", 4), suggest.bytes);
        EXPECT_EQ(DwordBytes(on ? 0 : 1), ReadValue(kSaPath, "AutoComplete").bytes);
    }
    // State, menu, icon record and stored Enable all say the same.
    void ExpectStateShows(bool on)
    {
        EXPECT_EQ(on ? 1 : 0, app.Enable);
        EXPECT_EQ(DwordBytes(on ? 1 : 0), ReadValue(kProgramPath, "Enable").bytes);
        ExpectMenuShows(app.trayMenu, on);
        ASSERT_FALSE(NotifyCalls().empty());
        EXPECT_EQ(DWORD(NIM_MODIFY), NotifyCalls().back().message);
        ExpectTrayRecord(NotifyCalls().back(), window, on);
    }
    void StartIn(LONG enable)
    {
        SetOnOffState(enable);
        MarkIeValues();
        UseFakeShell();
    }

    HWND window = NULL;
};

TEST_F(MainWindow, AnswersAndQuitRequestsPerMessage)
{
    UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    const LRESULT defaultTextLength = DefWindowProcA(window, WM_GETTEXTLENGTH, 0, 0);
    ASSERT_EQ(10, defaultTextLength);
    static const struct {
        const char *name;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT result;
        bool quits;
    } kCases[] = {
        {"WM_DESTROY", WM_DESTROY, 0, 0, 0, true},
        {"WM_CLOSE", WM_CLOSE, 0, 0, 1, true},
        {"WM_QUERYENDSESSION", WM_QUERYENDSESSION, 0, 0, 1, true},
        {"WM_QUERYOPEN", WM_QUERYOPEN, 0, 0, 0, false},
        {"WM_TRAYNOTIFY", WM_TRAYNOTIFY, 1, WM_MOUSEMOVE, 0, false},
        {"WM_COMMAND unknown", WM_COMMAND, 4321, 0, 1, false},
        {"WM_COMMAND exit", WM_COMMAND, IDM_EXIT, 0, 1, true},
        {"WM_COMMAND exit from an accelerator", WM_COMMAND, MAKEWPARAM(IDM_EXIT, 1), 0, 1, true},
        {"TaskbarCreated", 0, 0, 0, 1, false},
        {"any other", WM_GETTEXTLENGTH, 0, 0, 10, false},
    };
    for (const auto &c : kCases) {
        SCOPED_TRACE(c.name);
        UINT msg = c.msg == 0 ? taskbarCreated : c.msg;
        EXPECT_EQ(c.result, SendMessageA(window, msg, c.wParam, c.lParam));
        EXPECT_EQ(c.quits, TakeQuitRequest());
        // Ending is left to the shutdown after the loop.
        EXPECT_TRUE(IsWindow(window));
        EXPECT_EQ(0, app.Enable);
        ExpectIeShows(false);
    }
}

TEST_F(MainWindow, CreationRegistersTheIconWhateverTheShellSays)
{
    // The window of the fixture: its creation added the icon, showing OFF.
    ASSERT_EQ(std::vector<DWORD>{NIM_ADD}, NotifyMessages());
    ExpectTrayRecord(NotifyCalls()[0], window, false);
    ExpectMenuShows(app.trayMenu, false);

    DeleteTrayIcon();
    UseFakeShell({{FALSE, ERROR_ACCESS_DENIED}});
    CREATESTRUCTA create;
    ZeroMemory(&create, sizeof(create));
    EXPECT_EQ(1, MainWindowProc(window, WM_CREATE, 0, (LPARAM)&create));
    EXPECT_EQ(std::vector<DWORD>{NIM_ADD}, NotifyMessages());
    EXPECT_FALSE(TakeQuitRequest());
}

TEST_F(MainWindow, TaskbarCreatedBringsTheIconBackInTheCurrentState)
{
    UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    for (LONG enable : {1, 0, 1}) {
        SCOPED_TRACE(enable);
        SetOnOffState(enable);
        HMENU old = app.trayMenu;
        UseFakeShell();
        EXPECT_EQ(1, SendMessageA(window, taskbarCreated, 0, 0));
        ASSERT_EQ((std::vector<DWORD>{NIM_DELETE, NIM_ADD}), NotifyMessages());
        ExpectTrayRecord(NotifyCalls()[1], window, enable == 1);
        EXPECT_FALSE(IsMenu(old));
        ExpectMenuShows(app.trayMenu, enable == 1);
        EXPECT_EQ(10, GetMenuItemCount(app.trayMenu));
    }
}

TEST_F(MainWindow, OnAndOffCommandsSwitchAndApply)
{
    static const struct {
        const char *name;
        LONG before;
        WPARAM wParam;
        bool on;
    } kCases[] = {
        {"ON from OFF", 0, IDM_ON, true},
        {"ON while ON applies again", 1, IDM_ON, true},
        {"OFF from ON", 1, IDM_OFF, false},
        {"OFF while OFF applies again", 0, IDM_OFF, false},
        {"ON by accelerator", 0, MAKEWPARAM(IDM_ON, 1), true},
        {"OFF with a high word", 1, MAKEWPARAM(IDM_OFF, 0xFFFF), false},
    };
    for (const auto &c : kCases) {
        SCOPED_TRACE(c.name);
        StartIn(c.before);
        EXPECT_EQ(1, SendMessageA(window, WM_COMMAND, c.wParam, 0));
        ExpectStateShows(c.on);
        ExpectIeShows(c.on);
        EXPECT_FALSE(TakeQuitRequest());
    }
}

static std::string helpCall;
static BOOL WINAPI RecordHelp(HWND window, LPCSTR file, UINT command, ULONG_PTR data)
{
    char line[512];
    wsprintfA(line, "%p %s %u %u", (void *)window, file, command, (unsigned)data);
    helpCall = line;
    return TRUE;
}

TEST_F(MainWindow, HelpCommandOpensTheTopicsAndTimerOneFiresOnce)
{
    helpCall.clear();
    pWinHelpA = RecordHelp;
    EXPECT_EQ(1, SendMessageA(window, WM_COMMAND, IDM_HELP, 0));
    char expected[512];
    wsprintfA(expected, "%p Sorrelwick.hlp 11 0", (void *)window);
    EXPECT_EQ(expected, helpCall);

    // Timer 1 is set, and its first tick ends it.
    EXPECT_EQ(DefWindowProcA(window, WM_TIMER, TIMER_HELP, 0),
              SendMessageA(window, WM_TIMER, TIMER_HELP, 0));
    EXPECT_FALSE(KillTimer(window, TIMER_HELP));
}

// WinHelp's topics window stands in here as its class and title make it:
// next to a window of class "MS_WINHELP", placed off-centre; another box
// with another title is left where it is.
TEST_F(MainWindow, HelpTopicsWindowIsCentredASecondAfterTheHelpOpens)
{
    pWinHelpA = RecordHelp;
    RegisterTestClass("MS_WINHELP", DefWindowProcA);
    auto make = [](const char *className, const char *title) {
        return CreateWindowExA(0, className, title, WS_POPUP | WS_CAPTION | WS_VISIBLE, 3, 5, 300, 200, NULL, NULL,
                               GetModuleHandleA(NULL), NULL);
    };
    HWND topics = make("#32770", "トピックの検索: Sorrelwick ヘルプ");
    HWND viewer = make("MS_WINHELP", "Sorrelwick ヘルプ");
    HWND other = make("#32770", "トピックの検索: Sorrelwick");  // above the viewer, looked at first
    ASSERT_TRUE(other && viewer && topics);
    auto centred = [](HWND window) {
        RECT rect;
        GetWindowRect(window, &rect);
        return abs((rect.left + rect.right) - GetSystemMetrics(SM_CXSCREEN)) <= 16
            && abs((rect.top + rect.bottom) - GetSystemMetrics(SM_CYSCREEN)) <= 2;
    };
    DWORD opened = GetTickCount();
    SendMessageA(window, WM_COMMAND, IDM_HELP, 0);
    PumpMessages(500);
    if (GetTickCount() - opened < 900) {
        EXPECT_FALSE(centred(topics)) << "before the second is up";
    }
    EXPECT_TRUE(WaitUntil([&] { return centred(topics); }, 3000));
    EXPECT_TRUE(IsWindowVisible(topics));
    RECT rect;
    GetWindowRect(topics, &rect);
    EXPECT_EQ(300, rect.right - rect.left);
    EXPECT_EQ(200, rect.bottom - rect.top);
    for (HWND stays : {other, viewer}) {
        GetWindowRect(stays, &rect);
        EXPECT_EQ(3, rect.left);
        EXPECT_EQ(5, rect.top);
    }
    for (HWND made : {other, viewer, topics})
        DestroyWindow(made);
}

TEST_F(MainWindow, AcceleratorCommandsGoToTheOpenDialog)
{
    const std::vector<int> controls = {1000, 1005, 1013, 1016, 1020, 1026, 1034, 1038, 1052, 1054,
                                       1017, 1025, 1028, 1033, 1039, 1051, 1055};
    HWND settings = CreateRecorder(controls);
    HWND about = CreateRecorder({1027, 1029, 1013});
    HWND home = GetDlgItem(settings, 1020);  // where the focus sits before

    enum Open { NONE, SETTINGS, ABOUT, BOTH };
    static const struct {
        Open open;
        WPARAM wParam;
        int goesTo;  // 0 nowhere, 1 settings, 2 about
        int focusId;  // control focused on arrival at settings; 0 for none
    } kCases[] = {
        {NONE, 1003, 0, 0},
        {NONE, 1004, 0, 0},
        {NONE, 1013, 0, 0},
        {NONE, 1014, 0, 0},
        {NONE, 1027, 0, 0},
        {NONE, 1028, 0, 0},
        {SETTINGS, 1013, 1, 1013},
        {SETTINGS, MAKEWPARAM(1005, 1), 1, 1005},
        {SETTINGS, 1027, 1, 0},
        {SETTINGS, 1000, 1, 1000},
        {SETTINGS, 1016, 1, 1016},
        {SETTINGS, 1026, 1, 1026},
        {SETTINGS, 1034, 1, 1034},
        {SETTINGS, 1038, 1, 1038},
        {SETTINGS, 1052, 1, 1052},
        {SETTINGS, 1054, 1, 1054},
        {SETTINGS, 999, 0, 0},
        {SETTINGS, 1017, 0, 0},
        {SETTINGS, 1025, 0, 0},
        {SETTINGS, 1028, 0, 0},
        {SETTINGS, 1033, 0, 0},
        {SETTINGS, 1039, 0, 0},
        {SETTINGS, 1051, 0, 0},
        {SETTINGS, 1055, 0, 0},
        {ABOUT, 1027, 2, 0},
        {ABOUT, MAKEWPARAM(1027, 1), 2, 0},
        {ABOUT, 1013, 0, 0},
        {BOTH, 1027, 2, 0},
        {BOTH, 1013, 1, 1013},
    };
    for (const auto &c : kCases) {
        SCOPED_TRACE(testing::Message() << "open " << c.open << ", command " << LOWORD(c.wParam));
        app.settingsDialog = c.open == SETTINGS || c.open == BOTH ? settings : NULL;
        app.aboutDialog = c.open == ABOUT || c.open == BOTH ? about : NULL;
        SetFocus(home);
        ASSERT_EQ(home, GetFocus());
        received.clear();
        UseFakeShell();
        EXPECT_EQ(1, SendMessageA(window, WM_COMMAND, c.wParam, 0));
        EXPECT_TRUE(NotifyCalls().empty());
        EXPECT_EQ(0, app.Enable);
        EXPECT_FALSE(TakeQuitRequest());
        if (c.goesTo == 0) {
            EXPECT_TRUE(received.empty());
            EXPECT_EQ(home, GetFocus());
            continue;
        }
        ASSERT_EQ(1u, received.size());
        EXPECT_EQ(c.goesTo == 1 ? settings : about, received[0].to);
        EXPECT_EQ(WPARAM(LOWORD(c.wParam)), received[0].wParam);
        EXPECT_EQ(0, received[0].lParam);
        if (c.goesTo == 1) {
            HWND control = c.focusId != 0 ? GetDlgItem(settings, c.focusId) : NULL;
            EXPECT_EQ(control, received[0].focus);
        } else {
            EXPECT_EQ(home, received[0].focus);
        }
    }
    app.settingsDialog = app.aboutDialog = NULL;
    DestroyWindow(settings);
    DestroyWindow(about);
}

TEST_F(MainWindow, OnlyADoubleClickWithoutADialogSwitches)
{
    HWND dialog = CreateRecorder({});
    enum Open { NONE, SETTINGS, ABOUT };
    static const struct {
        Open open;
        LPARAM mouse;
        bool toggles;
    } kCases[] = {
        {NONE, WM_LBUTTONDBLCLK, true},   {SETTINGS, WM_LBUTTONDBLCLK, false},
        {ABOUT, WM_LBUTTONDBLCLK, false}, {NONE, WM_LBUTTONUP, false},
        {NONE, WM_LBUTTONDOWN, false},    {NONE, WM_RBUTTONDBLCLK, false},
        {NONE, WM_MBUTTONDBLCLK, false},  {NONE, WM_MOUSEMOVE, false},
    };
    for (const auto &c : kCases) {
        for (LONG before : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "open " << c.open << ", mouse " << c.mouse << ", Enable "
                                            << before);
            StartIn(before);
            app.settingsDialog = c.open == SETTINGS ? dialog : NULL;
            app.aboutDialog = c.open == ABOUT ? dialog : NULL;
            EXPECT_EQ(0, SendMessageA(window, WM_TRAYNOTIFY, 1, c.mouse));
            if (c.toggles) {
                ExpectStateShows(before == 0);
                ExpectIeShows(before == 0);
            } else {
                EXPECT_EQ(before, app.Enable);
                EXPECT_TRUE(NotifyCalls().empty());
                ExpectIeMarked();
            }
        }
    }
    app.settingsDialog = app.aboutDialog = NULL;
    DestroyWindow(dialog);
}

// The session may end the process as soon as WM_ENDSESSION returns, so the
// shutdown runs right there, once; a cancelled log-off changes nothing.
TEST_F(MainWindow, EndingSessionRunsTheShutdownOnce)
{
    StartIn(1);
    EXPECT_EQ(0, SendMessageA(window, WM_ENDSESSION, FALSE, 0));
    ExpectIeMarked();
    EXPECT_TRUE(NotifyCalls().empty());

    EXPECT_EQ(0, SendMessageA(window, WM_ENDSESSION, TRUE, 0));
    ExpectIeShows(false);
    ASSERT_FALSE(NotifyCalls().empty());
    EXPECT_EQ(DWORD(NIM_DELETE), NotifyCalls().back().message);
    EXPECT_EQ(NULL, app.trayMenu);

    // The loop's end later finds the work done.
    MarkIeValues();
    size_t calls = NotifyCalls().size();
    RunShutdown();
    ExpectIeMarked();
    EXPECT_EQ(calls, NotifyCalls().size());
}

static volatile LONG rasCalls;
static std::vector<BYTE> seenAtSessionEnd;
static DWORD WINAPI HangingRas(void *, DWORD *, DWORD *) { return InterlockedIncrement(&rasCalls), Sleep(10000), 1; }
static UINT_PTR WINAPI NoTimer(HWND, UINT_PTR, UINT, TIMERPROC) { return 0; }
static DWORD WINAPI EndSession(LPVOID window)
{
    SendMessageA((HWND)window, WM_ENDSESSION, TRUE, 0);
    seenAtSessionEnd = ReadValue(kAcPath, "AutoSuggest").bytes;
    return 0;
}

// The shutdown answers sent messages while it waits for the fallback poll
// thread; a session end answered there returns once the exit values are back.
TEST_F(MainWindow, ASessionEndDuringTheShutdownIsAnsweredOnceTheValuesAreBack)
{
    StartIn(1);
    pSetTimer = NoTimer;
    pRasEnumConnectionsA = HangingRas;
    app.ExitType = 1;
    StartAutoExitPoll();
    ASSERT_TRUE(WaitUntil([] { return rasCalls > 0; }, 5000));
    HANDLE session = CreateThread(NULL, 0, EndSession, window, 0, NULL);
    RunShutdown();
    EXPECT_TRUE(WaitUntil([session] { return WaitForSingleObject(session, 0) == WAIT_OBJECT_0; }, 5000));
    CloseHandle(session);
    EXPECT_EQ(Bytes("yes", 4), seenAtSessionEnd);
}
