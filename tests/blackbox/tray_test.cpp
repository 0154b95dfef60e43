// The tray icon's clicks and the menu's commands, sent to the real program
// the way the shell and the menu send them.
#include "tests/blackbox/blackbox.h"

#include <vector>

// A store left by an earlier run whose configured values all read "no" (and
// 0): switching then shows in Internet Explorer's values, and no first-run
// settings dialog opens.
static void SeedStore()
{
    SetDword(kProgramPath, "Enable", 0);
    SetDword(kProgramPath, "CompleteCount", 6);
}

// The configured set (ON) or the captured set (OFF) is in place.
static bool IeShows(bool on)
{
    std::vector<BYTE> text = on ? Bytes("no\0\0", 4) : Bytes("yes", 4);
    return ReadValue(kAcPath, "AutoSuggest").bytes == text
        && ReadValue(kMainPath, "Use FormSuggest").bytes == text
        && ReadValue(kMainPath, "FormSuggest Passwords").bytes == text
        && ReadValue(kSaPath, "AutoComplete").bytes == DwordBytes(on ? 0 : 1);
}

static bool EnableStored(DWORD value)
{
    RegValue stored = ReadValue(kProgramPath, "Enable");
    return stored.exists && stored.type == REG_DWORD && stored.bytes == DwordBytes(value);
}

// Values that nothing but a fresh switch overwrites.
static void MarkValues()
{
    SetDword(kProgramPath, "Enable", 7);
    SetValue(kAcPath, "AutoSuggest", REG_SZ, "mrk", 4);
}

static HWND VisiblePopupMenu(DWORD pid)
{
    for (HWND window : TopLevelWindows(pid)) {
        if (ClassOf(window) == "#32768" && IsWindowVisible(window))
            return window;
    }
    return NULL;
}

TEST_F(BlackBox, DoubleClickAndMenuCommandsSwitchTheState)
{
    SeedStore();
    ChildProcess child;
    ASSERT_TRUE(StartSorrelwick(child));
    HWND mainWindow = WaitForMainWindow(child);
    ASSERT_NE(HWND(NULL), mainWindow);
    ASSERT_TRUE(WaitUntil([] { return EnableStored(0) && IeShows(false); }, 5000));

    static const struct {
        const char *name;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        bool on;
    } kSteps[] = {
        {"double click from OFF", 0x8064, 1, WM_LBUTTONDBLCLK, true},
        {"double click from ON", 0x8064, 1, WM_LBUTTONDBLCLK, false},
        {"menu ON", WM_COMMAND, 256, 0, true},
        {"menu ON while ON", WM_COMMAND, 256, 0, true},
        {"menu OFF", WM_COMMAND, 257, 0, false},
        {"menu OFF while OFF", WM_COMMAND, 257, 0, false},
    };
    for (const auto &step : kSteps) {
        SCOPED_TRACE(step.name);
        MarkValues();
        PostMessageA(mainWindow, step.msg, step.wParam, step.lParam);
        EXPECT_TRUE(WaitUntil([&] { return EnableStored(step.on ? 1 : 0) && IeShows(step.on); }, 5000));
    }
    EXPECT_TRUE(child.Running());
    EXPECT_EQ(0u, CloseAndWait(child, mainWindow));
}

TEST_F(BlackBox, RightClickShowsThePopupMenu)
{
    SeedStore();
    ChildProcess child;
    ASSERT_TRUE(StartSorrelwick(child));
    HWND mainWindow = WaitForMainWindow(child);
    ASSERT_NE(HWND(NULL), mainWindow);

    PostMessageA(mainWindow, 0x8064, 1, WM_RBUTTONUP);
    DWORD pid = child.Pid();
    HWND menu = WaitForWindow([pid] { return VisiblePopupMenu(pid); }, 5000);
    ASSERT_NE(HWND(NULL), menu);
    EXPECT_EQ(mainWindow, GetForegroundWindow());
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([pid] { return VisiblePopupMenu(pid) == NULL; }, 5000));

    // Dismissing it chose nothing, and the program answers again.
    EXPECT_TRUE(child.Running());
    EXPECT_TRUE(EnableStored(0));
    PostMessageA(mainWindow, 0x8064, 1, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitUntil([] { return EnableStored(1); }, 5000));
    EXPECT_EQ(0u, CloseAndWait(child, mainWindow));
}

TEST_F(BlackBox, AltAcceleratorsWithoutADialogDoNothing)
{
    SeedStore();
    ChildProcess child;
    ASSERT_TRUE(StartSorrelwick(child));
    HWND mainWindow = WaitForMainWindow(child);
    ASSERT_NE(HWND(NULL), mainWindow);
    ASSERT_TRUE(WaitUntil([] { return IeShows(false); }, 5000));

    // The keys go to the thread of the foreground window. Wine hands the
    // activation to that thread, so it takes effect a moment later.
    ASSERT_TRUE(WaitUntil(
        [mainWindow] {
            SetForegroundWindow(mainWindow);
            return GetForegroundWindow() == mainWindow;
        },
        5000));
    // ON and OFF of the settings dialog, its Close, Delete and Exit, the
    // About item, and Escape.
    for (WORD letter : {'E', 'O', 'C', 'D', 'X', 'V', 'Z', 'K'})
        PressKeys({VK_MENU, letter});
    PressKeys({VK_ESCAPE});
    // Nothing shows that a key was handled and did nothing, so give them
    // time; Alt+F4 below, behind them in the same queue, shows that the
    // program did get to them.
    PumpMessages(1000);

    EXPECT_TRUE(child.Running());
    EXPECT_EQ(mainWindow, GetForegroundWindow());
    EXPECT_EQ(HWND(NULL), WaitForMessageBox(child.Pid(), 0));
    EXPECT_TRUE(EnableStored(0));
    EXPECT_TRUE(IeShows(false));

    // The same way in, Alt+F4 does reach the program: it closes it.
    ASSERT_EQ(mainWindow, GetForegroundWindow());
    PressKeys({VK_MENU, VK_F4});
    EXPECT_EQ(0u, child.Wait(10000));
    EXPECT_TRUE(EnableStored(0));  // nor did a late ON or OFF
}

TEST_F(BlackBox, EndOfSessionIsAgreedToAndEndsThroughTheNormalShutdown)
{
    SeedStore();
    ChildProcess child;
    ASSERT_TRUE(StartSorrelwick(child));
    HWND mainWindow = WaitForMainWindow(child);
    ASSERT_NE(HWND(NULL), mainWindow);
    PostMessageA(mainWindow, WM_COMMAND, 256, 0);
    ASSERT_TRUE(WaitUntil([] { return IeShows(true); }, 5000));

    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(mainWindow, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(1u, answer);
    EXPECT_EQ(0u, child.Wait(10000));
    // The exit wrote the set that ExitAction (0) picks: the captured one.
    EXPECT_TRUE(IeShows(false));
    EXPECT_TRUE(EnableStored(1));
}

// After the session's end ran the shutdown, queued clicks and commands write nothing.
TEST_F(BlackBox, AfterTheSessionEndsShutdownNothingIsWritten)
{
    SetDword(kProgramPath, "Enable", 1);
    SetDword(kProgramPath, "CompleteCount", 6);
    ChildProcess child;
    ASSERT_TRUE(StartSorrelwick(child));
    HWND mainWindow = WaitForMainWindow(child);
    ASSERT_TRUE(mainWindow != NULL && WaitUntil([] { return IeShows(true); }, 5000));
    EXPECT_EQ(0, SendWithin(mainWindow, WM_ENDSESSION, TRUE, 0));
    PostMessageA(mainWindow, 0x8064, 1, WM_LBUTTONDBLCLK);
    PostMessageA(mainWindow, WM_COMMAND, 256, 0);
    EXPECT_EQ(0u, CloseAndWait(child, mainWindow));
    EXPECT_TRUE(IeShows(false) && EnableStored(1));
}
