// The start-up sequence and shutdown run in-process, with the shell's icon
// calls recorded and every message box answered by a watcher thread.
#include "shell/appstate.h"
#include "shell/seams.h"
#include "shell/startup.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/tray_fake.h"
#include "tests/support/wine_windows.h"

#include <string>
#include <vector>

static std::vector<DWORD> iconCalls;
static size_t endSessionAt = (size_t)-1;  // the icon call inside which the session ends

static BOOL WINAPI RecordIconCall(DWORD message, PNOTIFYICONDATAA data)
{
    iconCalls.push_back(message);
    if (iconCalls.size() - 1 != endSessionAt)
        return TRUE;
    endSessionAt = (size_t)-1;
    SendMessageA(data->hWnd, WM_ENDSESSION, TRUE, 0);
    SetLastError(ERROR_TIMEOUT);  // as a shell that is still starting
    return FALSE;
}

struct Watcher {
    HANDLE thread;
    volatile LONG stop;
    std::vector<std::string> boxTexts;
    bool closeMainWindow;
};

// Answers our message boxes with OK and, when asked, closes the main window
// once it exists, as the auto-exit poll or the shell would.
static DWORD WINAPI Watch(LPVOID param)
{
    Watcher *watcher = (Watcher *)param;
    DWORD start = GetTickCount();
    while (!watcher->stop && GetTickCount() - start < 20000) {
        for (HWND window : TopLevelWindows(GetCurrentProcessId())) {
            if (ClassOf(window) == "#32770" && IsWindowVisible(window)) {
                watcher->boxTexts.push_back(MessageBoxText(window));
                SendMessageA(window, WM_COMMAND, IDOK, 0);
            }
        }
        if (watcher->closeMainWindow && app.mainWindow != NULL && app.pollTimerId != 0) {
            PostMessageA(app.mainWindow, WM_CLOSE, 0, 0);
            watcher->closeMainWindow = false;
        }
        Sleep(20);
    }
    return 0;
}

class StartupSequence : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        iconCalls.clear();
        pShellNotifyIconA = RecordIconCall;
        watcher.stop = 0;
        watcher.boxTexts.clear();
        watcher.closeMainWindow = false;
        GetCurrentDirectoryA(sizeof(oldDir), oldDir);
        // Backup files land in the current folder.
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        wsprintfA(runDir, "%ssorrelwick-seq-%lu", temp, GetCurrentProcessId());
        CreateDirectoryA(runDir, NULL);
        SetCurrentDirectoryA(runDir);
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(oldDir);
        std::string file = std::string(runDir) + "\\AutoComplete.reg";
        DeleteFileA(file.c_str());
        RemoveDirectoryA(runDir);
        AppTest::TearDown();
    }
    int Run()
    {
        watcher.thread = CreateThread(NULL, 0, Watch, &watcher, 0, NULL);
        char *argv[] = {(char *)"Sorrelwick.exe"};
        int code = SorrelwickMain(GetModuleHandleA(NULL), NULL, 1, argv);
        watcher.stop = 1;
        WaitForSingleObject(watcher.thread, 5000);
        CloseHandle(watcher.thread);
        return code;
    }

    Watcher watcher;
    char oldDir[MAX_PATH];
    char runDir[MAX_PATH];
};

TEST_F(StartupSequence, AMissingKeyEndsStartUpWithoutAGhostIcon)
{
    SeedTypicalIe();
    DeleteTree(kMainPath);

    EXPECT_EQ(0, Run());
    ASSERT_EQ(2u, watcher.boxTexts.size());
    EXPECT_NE(std::string::npos, watcher.boxTexts[0].find("Software\\Microsoft\\Internet Explorer\\Main\\"));
    EXPECT_EQ("終了します。", watcher.boxTexts[1]);
    // The icon that window creation added is taken down again.
    ASSERT_EQ(2u, iconCalls.size());
    EXPECT_EQ((DWORD)NIM_ADD, iconCalls[0]);
    EXPECT_EQ((DWORD)NIM_DELETE, iconCalls[1]);
    EXPECT_FALSE(IsWindow(app.mainWindow));
    EXPECT_FALSE(KeyExists(kMakerPath));
}

TEST_F(StartupSequence, ANormalRunShowsTheStoredStateAndRestoresAtExit)
{
    SeedTypicalIe();
    SetDword(kProgramPath, "CompleteCount", 6);
    SetDword(kProgramPath, "Enable", 1);
    SetString(kProgramPath, "AutoSuggest", "no");
    watcher.closeMainWindow = true;

    EXPECT_EQ(0, Run());
    EXPECT_TRUE(watcher.boxTexts.empty());
    // Added as OFF while the window is created, switched to the stored ON,
    // removed at shutdown.
    ASSERT_EQ(3u, iconCalls.size());
    EXPECT_EQ((DWORD)NIM_ADD, iconCalls[0]);
    EXPECT_EQ((DWORD)NIM_MODIFY, iconCalls[1]);
    EXPECT_EQ((DWORD)NIM_DELETE, iconCalls[2]);
    EXPECT_EQ(1, app.Enable);
    EXPECT_EQ(NULL, app.trayMenu);
    // ExitAction 0: the user's own value is back after the run.
    EXPECT_EQ(Bytes("yes\0", 4), ReadValue(kAcPath, "AutoSuggest").bytes);
    // The main window outlives the loop; only the process end takes it.
    EXPECT_TRUE(IsWindow(app.mainWindow));
    DestroyWindow(app.mainWindow);
    MSG msg;
    PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE);
}

// A session end handled inside the shell's call for the first icon, or for
// the stored state, has shut down: start-up stops there, before the loop.
TEST_F(StartupSequence, ASessionEndDuringStartUpStopsIt)
{
    for (size_t call : {0, 1}) {
        SeedTypicalIe();
        DeleteTree(kMakerPath);
        if (call == 1)
            SetDword(kProgramPath, "Enable", 1);
        iconCalls.clear();
        endSessionAt = call;
        watcher.closeMainWindow = true;  // for a start-up that goes on
        EXPECT_EQ(0, Run());
        EXPECT_FALSE(IsWindow(app.mainWindow)) << call;
        EXPECT_EQ((DWORD)NIM_DELETE, iconCalls.back()) << call;  // no icon put up again
        EXPECT_TRUE(call == 1 ? !ReadValue(kProgramPath, "RunCaptured").exists : !KeyExists(kMakerPath)) << call;
        DestroyWindow(app.mainWindow);
        TakeQuitRequest();
    }
}
