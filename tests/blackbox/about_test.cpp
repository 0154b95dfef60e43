// The real program's About box: its labels, and a log-off agreed to while it is open.
#include "tests/blackbox/blackbox.h"

// The product name, version and copyright labels all hold text.
static bool LabelsFilled(HWND about)
{
    for (int id : {1030, 1029, 1031}) {
        if (TextOf(GetDlgItem(about, id)).empty())
            return false;
    }
    return true;
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
    // The box exists, captioned, before its initialisation has filled the labels.
    WaitUntil([about] { return LabelsFilled(about); }, 5000);
    EXPECT_EQ("Sorrelwick", TextOf(GetDlgItem(about, 1030)));
    EXPECT_EQ("Version 3.8", TextOf(GetDlgItem(about, 1029)));
    EXPECT_EQ("Copyright (C) 2026 Tarrow", TextOf(GetDlgItem(about, 1031)));
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
    WaitUntil([about] { return LabelsFilled(about); }, 5000);
    EXPECT_EQ("Version 3.8", TextOf(GetDlgItem(about, 1029)));
    EXPECT_EQ(0u, CloseAndWait(child, mainWindow));
}
