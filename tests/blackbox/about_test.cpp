// The real program's About box: its labels, and a log-off agreed to while it is open.
#include "tests/blackbox/blackbox.h"

// Read from another process, a label may hold empty or stale bytes until the box's
// initialisation has set it: wait for the text itself, then compare it.
static void WaitForLabel(HWND about, int id, const std::string &text)
{
    WaitUntil([&] { return TextOf(GetDlgItem(about, id)) == text; }, 5000);
    EXPECT_EQ(text, TextOf(GetDlgItem(about, id)));
}

TEST_F(BlackBox, AboutBoxShowsTheVersionAndLetsTheSessionEnd)
{
    ChildProcess child;
    ASSERT_TRUE(StartSorrelwick(child));
    HWND mainWindow = WaitForMainWindow(child);
    ASSERT_NE(HWND(NULL), mainWindow);
    PostMessageA(mainWindow, WM_COMMAND, 260, 0);
    HWND about = WaitForWindow([] { return FindWindowA("#32770", "Sorrelwick について"); }, 10000);
    ASSERT_NE(HWND(NULL), about);
    WaitForLabel(about, 1030, "Sorrelwick");
    WaitForLabel(about, 1029, "Version 3.8");
    WaitForLabel(about, 1031, "Copyright (C) 2026 Tarrow");
    DWORD_PTR answer = 0;  // the session may end
    EXPECT_TRUE(SendMessageTimeoutA(about, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) && answer == 1);
    EXPECT_TRUE(WaitUntil([about] { return !IsWindow(about); }, 5000));
    EXPECT_EQ(0u, CloseAndWait(child, mainWindow));
}

// As from a command prompt in its folder: a name that opens no file.
TEST_F(BlackBox, AboutBoxShowsTheVersionWhenStartedByABareName)
{
    SetDword(kProgramPath, "CompleteCount", 6);  // no first run: nothing is written to its folder
    ChildProcess child;
    ASSERT_TRUE(child.StartCommand("Sorrelwick", TestProgramDir()));
    HWND mainWindow = WaitForMainWindow(child);
    ASSERT_NE(HWND(NULL), mainWindow);
    PostMessageA(mainWindow, WM_COMMAND, 260, 0);
    HWND about = WaitForWindow([] { return FindWindowA("#32770", "Sorrelwick について"); }, 10000);
    ASSERT_NE(HWND(NULL), about);
    WaitForLabel(about, 1029, "Version 3.8");
    EXPECT_EQ(0u, CloseAndWait(child, mainWindow));
}
