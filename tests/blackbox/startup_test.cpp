#include "tests/blackbox/blackbox.h"

TEST_F(BlackBox, SecondCopyIsRefusedAndTheFirstKeepsRunning)
{
    ChildProcess first;
    ASSERT_TRUE(StartSorrelwick(first));
    HWND mainWindow = WaitForMainWindow(first);
    ASSERT_NE(HWND(NULL), mainWindow);

    ChildProcess second;
    ASSERT_TRUE(StartSorrelwick(second));
    HWND box = WaitForMessageBox(second.Pid(), 10000);
    ASSERT_NE(HWND(NULL), box);
    EXPECT_EQ("Sorrelwick", TextOf(box));
    EXPECT_EQ("Sorrelwick は既に起動されています。", MessageBoxText(box));
    EXPECT_FALSE(MessageBoxHasIcon(box));
    EXPECT_EQ(mainWindow, GetWindow(box, GW_OWNER));
    PressButton(box, IDOK);
    EXPECT_EQ(0u, second.Wait(10000));

    EXPECT_TRUE(first.Running());
    EXPECT_EQ(0u, CloseAndWait(first, mainWindow));
}
