// The settings dialog of the real program: a first run opens it, its keys
// reach it through the main window, and it lets the session end.
#include "tests/blackbox/blackbox.h"

static HWND SettingsDialogOf(DWORD pid)
{
    for (HWND window : TopLevelWindows(pid)) {
        if (ClassOf(window) == "#32770" && TextOf(window) == "Sorrelwick の設定" && IsWindowVisible(window))
            return window;
    }
    return NULL;
}

TEST_F(BlackBox, FirstRunOpensTheSettingsDialogWhichAgreesToTheSessionEnd)
{
    ChildProcess child;
    ASSERT_TRUE(StartSorrelwick(child));
    HWND mainWindow = WaitForMainWindow(child);
    ASSERT_NE(HWND(NULL), mainWindow);
    DWORD pid = child.Pid();
    HWND dialog = WaitForWindow([pid] { return SettingsDialogOf(pid); }, 10000);
    ASSERT_NE(HWND(NULL), dialog);
    EXPECT_EQ(mainWindow, GetWindow(dialog, GW_OWNER));

    // Alt+A reaches the web-addresses box; Escape closes without the path.
    ASSERT_TRUE(WaitUntil(
        [dialog] {
            SetForegroundWindow(dialog);
            return GetForegroundWindow() == dialog;
        },
        5000));
    PressKeys({VK_MENU, 'A'});
    EXPECT_TRUE(WaitUntil([] { return ReadValue(kProgramPath, "AutoSuggest").bytes == Bytes("no\0\0", 4); }, 5000));
    PressKeys({VK_ESCAPE});
    EXPECT_TRUE(WaitUntil([pid] { return SettingsDialogOf(pid) == NULL; }, 5000));
    EXPECT_TRUE(child.Running());

    PostMessageA(mainWindow, WM_COMMAND, 258, 0);
    dialog = WaitForWindow([pid] { return SettingsDialogOf(pid); }, 5000);
    ASSERT_NE(HWND(NULL), dialog);
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(dialog, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(1u, answer);
    EXPECT_TRUE(WaitUntil([dialog] { return !IsWindow(dialog); }, 5000));
    ASSERT_TRUE(SendMessageTimeoutA(mainWindow, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(1u, answer);
    EXPECT_EQ(0u, child.Wait(10000));
    ExpectValue(kAcPath, "AutoSuggest", REG_SZ, Bytes("yes", 4));
}
