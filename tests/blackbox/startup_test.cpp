#include "shell/appstate.h"
#include "tests/blackbox/blackbox.h"

#include <thread>
#include <vector>

// A refused copy's open box keeps no start out once the running copy has ended.
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
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(0u, CloseAndWait(first, mainWindow));

    ChildProcess third;
    ASSERT_TRUE(StartSorrelwick(third));
    HWND thirdWindow = WaitForMainWindow(third);
    EXPECT_NE(HWND(NULL), thirdWindow);
    PressButton(box, IDOK);
    EXPECT_EQ(0u, second.Wait(10000));
    EXPECT_EQ(0u, CloseAndWait(third, thirdWindow));
}

// Two copies started at the same moment (the Startup folder and a double
// click at log-on): one runs, the other shows the notice and leaves.
TEST_F(BlackBox, TwoCopiesStartedTogetherLeaveOneRunning)
{
    for (int round = 0; round < 20; round++) {
        ChildProcess copies[2];
        bool started[2];
        std::thread other([&] { started[1] = StartSorrelwick(copies[1]); });
        started[0] = StartSorrelwick(copies[0]);
        other.join();  // before any ASSERT: a joinable thread would abort the program
        ASSERT_TRUE(started[0] && started[1]) << round;
        int refused = 0;
        HWND box = WaitForWindow([&] { return WaitForMessageBox(copies[refused ^= 1].Pid(), 0); }, 10000);
        ASSERT_NE(HWND(NULL), box) << round;
        HWND mainWindow = WaitForMainWindow(copies[1 - refused]);
        ASSERT_NE(HWND(NULL), mainWindow);
        EXPECT_TRUE(GetWindow(box, GW_OWNER) == NULL || GetWindow(box, GW_OWNER) == mainWindow);
        PressButton(box, IDOK);
        EXPECT_EQ(0u, copies[refused].Wait(10000));
        EXPECT_EQ(0u, CloseAndWait(copies[1 - refused], mainWindow));
    }
}

struct FatalCase {
    const char *name;
    void (*prepare)();
    const char *text;
};

static const FatalCase kFatalCases[] = {
    {"AutoCompleteKeyMissing", [] { DeleteTree(kAcPath); },
     "オリジナルのオートコンプリート設定レジストリがオープンできません。\n\nHKEY_CURRENT_USER\\"
     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoComplete\\"},
    {"MainKeyMissing", [] { DeleteTree(kMainPath); },
     "オリジナルのオートコンプリート設定レジストリがオープンできません。\n\nHKEY_CURRENT_USER\\"
     "Software\\Microsoft\\Internet Explorer\\Main\\"},
    {"SearchAssistantKeyMissing", [] { DeleteTree(kSaPath); },
     "オリジナルのオートコンプリート設定レジストリがオープンできません。\n\nHKEY_CURRENT_USER\\"
     "Software\\Microsoft\\Search Assistant\\"},
    {"NoValueAtAll",
     [] {
         for (const char *name : {"AutoSuggest", "Append Completion", "Use AutoComplete"})
             DeleteValue(kAcPath, name);
         for (const char *name : {"Use FormSuggest", "FormSuggest Passwords", "FormSuggest PW Ask"})
             DeleteValue(kMainPath, name);
         DeleteValue(kSaPath, "AutoComplete");
     },
     "該当レジストリが１つも存在しませんでした。"},
};

// Each fatal start shows its message, then the exit notice, both as stop
// boxes titled "Sorrelwick", exits with 0 and leaves no trace, even when the
// session ends while the first box is up.
TEST_F(BlackBox, FatalStartsShowTheirMessagesAndWriteNothing)
{
    auto ieBytes = [] {
        std::vector<std::vector<BYTE>> bytes;
        for (int row = 0; row < AC_ROWS; row++)
            bytes.push_back(ReadValue(IePathOf(row), kAcValues[row].name).bytes);
        return bytes;
    };
    for (int endSession = 0; endSession <= 1; endSession++)
    for (const FatalCase &fatal : kFatalCases) {
        SCOPED_TRACE(std::string(fatal.name) + (endSession ? ", session ended" : ""));
        ClearIeAndStore();
        SeedTypicalIe();
        fatal.prepare();
        std::vector<std::vector<BYTE>> before = ieBytes();

        ChildProcess child;
        ASSERT_TRUE(StartSorrelwick(child));
        HWND box = WaitForMessageBox(child.Pid(), 10000);
        ASSERT_NE(HWND(NULL), box);
        EXPECT_EQ("Sorrelwick", TextOf(box));
        EXPECT_EQ(fatal.text, MessageBoxText(box));
        EXPECT_TRUE(MessageBoxHasIcon(box));
        // The end alone: the quit request of the question would take the box down first.
        DWORD_PTR answer;
        EXPECT_TRUE(!endSession || SendMessageTimeoutA(GetWindow(box, GW_OWNER), WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &answer));
        PressButton(box, IDOK);

        HWND exitBox = WaitForWindow([&]() -> HWND {
            HWND next = WaitForMessageBox(child.Pid(), 0);
            return next != box ? next : NULL;
        }, 10000);
        ASSERT_NE(HWND(NULL), exitBox);
        EXPECT_EQ("Sorrelwick", TextOf(exitBox));
        EXPECT_EQ("終了します。", MessageBoxText(exitBox));
        EXPECT_TRUE(MessageBoxHasIcon(exitBox));
        PressButton(exitBox, IDOK);

        EXPECT_EQ(0u, child.Wait(10000));
        EXPECT_FALSE(KeyExists(kMakerPath));
        EXPECT_FALSE(FileExists(dir + "\\AutoComplete.reg"));
        EXPECT_EQ(before, ieBytes());
        EXPECT_EQ(HWND(NULL), FindWindowA("Sorrelwick", "Sorrelwick"));
    }
}

// Windows 2000 keeps the Explorer setting as the string "Use AutoComplete";
// later versions as the Search Assistant's DWORD, whose key must then exist.
TEST_F(BlackBox, ReportedVersionDecidesWhichExplorerValueIsManaged)
{
    struct {
        const char *version;
        bool searchAssistant;
    } cases[] = {{"win2k", false}, {"winxp", true}, {"win7", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.version);
        ClearIeAndStore();
        SeedTypicalIe();
        SetReportedVersion(c.version);
        std::string runDir = FreshTestDir();

        ChildProcess child;
        ASSERT_TRUE(child.Start("Sorrelwick.exe", "", runDir));
        HWND mainWindow = WaitForMainWindow(child);
        ASSERT_NE(HWND(NULL), mainWindow);
        EXPECT_EQ(0u, CloseAndWait(child, mainWindow));

        EXPECT_EQ(c.searchAssistant, ReadValue(kProgramPath, "AutoComplete").exists);
        EXPECT_EQ(!c.searchAssistant, ReadValue(kProgramPath, "Use AutoComplete").exists);
        std::string file = ReadFileBytes(runDir + "\\AutoComplete.reg");
        EXPECT_EQ(0u, file.find(c.searchAssistant ? "Windows Registry Editor Version 5.00\n\n" : "REGEDIT4\n\n"));
    }

    // Without the Search Assistant key only Windows 2000 starts.
    for (const char *version : {"win2k", "winxp"}) {
        SCOPED_TRACE(version);
        ClearIeAndStore();
        SeedTypicalIe();
        DeleteTree(kSaPath);
        SetReportedVersion(version);
        ChildProcess child;
        ASSERT_TRUE(StartSorrelwick(child));
        bool started = WaitForMainWindow(child, 10000) != NULL && WaitForMessageBox(child.Pid(), 500) == NULL;
        EXPECT_EQ(std::string(version) == "win2k", started);
    }
}
