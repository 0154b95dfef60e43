// The real program asks WinHelp for the help file that the build wrote, and
// Wine's winhlp32, a reader that is not ours, shows it.
#include "tests/blackbox/blackbox.h"

#include <windows.h>

#include <algorithm>
#include <vector>

static const char kTitle[] = "Sorrelwick ヘルプ";

class Help : public BlackBox {
protected:
    void SetUp() override
    {
        BlackBox::SetUp();
        EndWindowOwners("MS_WINHELP");
        // Side by side and started from their folder, as a user unzips them.
        for (const char *name : {"Sorrelwick.exe", "Sorrelwick.hlp", "Sorrelwick.cnt"})
            CopyFileA((TestProgramDir() + "\\" + name).c_str(), (dir + "\\" + name).c_str(), FALSE);
        // A stranger's viewer beside the exe and in its working folder, logging if it runs.
        CopyFileA((TestProgramDir() + "\\fake_ie.exe").c_str(), (dir + "\\winhlp32.exe").c_str(), FALSE);
        SetEnvironmentVariableA("FAKE_IE_LOG", (dir + "\\planted.log").c_str());
    }
    void TearDown() override
    {
        SetEnvironmentVariableA("FAKE_IE_LOG", NULL);
        EndWindowOwners("MS_WINHELP");
        BlackBox::TearDown();
    }
    bool Start(ChildProcess &child, const std::string &args = "")
    {
        return child.Start(dir + "\\Sorrelwick.exe", args, dir);
    }
};

static BOOL CALLBACK CollectChildren(HWND window, LPARAM found)
{
    ((std::vector<HWND> *)found)->push_back(window);
    return TRUE;
}

static std::vector<HWND> ChildrenOf(HWND window)
{
    std::vector<HWND> children;
    EnumChildWindows(window, CollectChildren, (LPARAM)&children);
    return children;
}

// The text a window holds, asked of its own process (an edit's or a rich
// edit's content is no caption).
static std::string ContentOf(HWND window)
{
    static char text[65536];
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), (LPARAM)text, SMTO_NORMAL, 2000, &got))
        return std::string();
    return std::string(text, got);
}

// WinHelp's main window, once its page shows our contents topic (the file's
// title is the page's first line).
static HWND WaitForHelpWindow(DWORD timeoutMs)
{
    return WaitForWindow(
        []() -> HWND {
            for (HWND window : TopLevelWindows()) {
                if (ClassOf(window) != "MS_WINHELP" || !IsWindowVisible(window))
                    continue;
                for (HWND child : ChildrenOf(window)) {
                    std::string text = ContentOf(child);
                    // 能 ends in the byte 0x5C, a backslash to a careless reader.
                    if (text.find(kTitle) == 0 && text.find("オートコンプリート機能を") != std::string::npos)
                        return window;
                }
            }
            return (HWND)NULL;
        },
        timeoutMs);
}

TEST_F(Help, TrayMenuHelpOpensTheFileBesideTheExeWithTheSystemsViewer)
{
    ChildProcess child;
    ASSERT_TRUE(Start(child));
    HWND main = WaitForMainWindow(child);
    ASSERT_NE(main, (HWND)NULL);

    // Without a readable file, WinHelp would keep the program waiting for
    // over half a minute before it returned; with it, the answer comes well
    // inside that, however busy the machine.
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutA(main, WM_COMMAND, 259, 0, SMTO_NORMAL, 20000, &result), 0);

    HWND help = WaitForHelpWindow(10000);
    EXPECT_NE(help, (HWND)NULL) << "no WinHelp window showing our contents topic";
    // The file's window definition captions it, not the reader's own name.
    EXPECT_NE(TextOf(help).find(kTitle), std::string::npos) << TextOf(help);
    EXPECT_EQ(CloseAndWait(child, main), 0u);
    EXPECT_FALSE(FileExists(dir + "\\planted.log")) << ReadFileBytes(dir + "\\planted.log");
}

TEST_F(Help, SwitchOpensTheHelpWhoseIndexListsTheKeywords)
{
    ChildProcess child;
    ASSERT_TRUE(Start(child, "-h"));
    HWND help = WaitForHelpWindow(15000);
    ASSERT_NE(help, (HWND)NULL);
    DWORD helpPid = 0;
    GetWindowThreadProcessId(help, &helpPid);

    HWND indexButton = WaitForWindow(
        [help]() -> HWND {
            for (HWND button : ChildrenOf(help))
                if (TextOf(button).find("索引") == 0)
                    return button;
            return (HWND)NULL;
        },
        5000);
    ASSERT_NE(indexButton, (HWND)NULL);
    PostMessageA(indexButton, BM_CLICK, 0, 0);

    std::vector<std::string> keywords;
    WaitUntil(
        [&]() {
            for (HWND window : TopLevelWindows(helpPid)) {
                for (HWND list : ChildrenOf(window)) {
                    if (lstrcmpiA(ClassOf(list).c_str(), "ListBox") != 0)
                        continue;
                    LRESULT count = SendWithin(list, LB_GETCOUNT, 0, 0);
                    for (LRESULT i = 0; i < count && count < 500; i++) {
                        // winhlp32's list is a Unicode window.
                        WCHAR wide[256] = L"";
                        char text[512] = "";
                        if (SendWithin(list, LB_GETTEXTLEN, i, 0, true) < 256)
                            SendWithin(list, LB_GETTEXT, i, (LPARAM)wide, true);
                        WideCharToMultiByte(932, 0, wide, -1, text, sizeof(text), NULL, NULL);
                        keywords.push_back(text);
                    }
                    if (count > 0)
                        return true;
                }
            }
            return false;
        },
        10000);
    EXPECT_GE(keywords.size(), 20u);
    for (const char *keyword : {"AutoComplete.reg", "アンインストール", "自動終了", "タスクトレイ"})
        EXPECT_NE(std::find(keywords.begin(), keywords.end(), keyword), keywords.end()) << keyword;

    HWND main = WaitForMainWindow(child);
    EXPECT_EQ(CloseAndWait(child, main), 0u);
}
