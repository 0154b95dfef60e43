#include "shell/appstate.h"
#include "shell/seams.h"
#include "shell/startup.h"
#include "tests/support/registry_sandbox.h"

#include <string>
#include <vector>

struct HelpCall {
    HWND window;
    std::string file;
    UINT command;
    ULONG_PTR data;
};
static std::vector<HelpCall> helpCalls;

static BOOL WINAPI RecordWinHelp(HWND window, LPCSTR file, UINT command, ULONG_PTR data)
{
    helpCalls.push_back({window, file, command, data});
    return TRUE;
}

class CommandLine : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        helpCalls.clear();
        pWinHelpA = RecordWinHelp;
        app.mainWindow = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
    }
    void TearDown() override
    {
        KillTimer(app.mainWindow, TIMER_HELP);
        DestroyWindow(app.mainWindow);
        AppTest::TearDown();
    }
    size_t Scan(std::vector<const char *> args)
    {
        args.insert(args.begin(), "Sorrelwick.exe");
        ScanCommandLine((int)args.size(), (char **)args.data());
        return helpCalls.size();
    }
};

TEST_F(CommandLine, OnlyTheThreeTwoCharacterSwitchesOpenHelp)
{
    EXPECT_EQ(1u, Scan({"-?"}));
    helpCalls.clear();
    EXPECT_EQ(1u, Scan({"-h"}));
    helpCalls.clear();
    EXPECT_EQ(1u, Scan({"-H"}));
    helpCalls.clear();
    EXPECT_EQ(0u, Scan({"-help", "?", "/?", "-x", "-", "", "--", "-hh", "h"}));
}

TEST_F(CommandLine, EachMatchingArgumentOpensHelpOnce)
{
    EXPECT_EQ(3u, Scan({"-h", "other", "-?", "-h"}));
}

TEST_F(CommandLine, TheProgramNameIsNotAnArgument)
{
    const char *args[] = {"-h"};
    ScanCommandLine(1, (char **)args);
    EXPECT_EQ(0u, helpCalls.size());
}

TEST_F(CommandLine, HelpOpensTheTopicsOfOurFileOnTheMainWindow)
{
    ASSERT_EQ(1u, Scan({"-?"}));
    EXPECT_EQ(app.mainWindow, helpCalls[0].window);
    EXPECT_EQ("Sorrelwick.hlp", helpCalls[0].file);
    EXPECT_EQ((UINT)HELP_FINDER, helpCalls[0].command);
    EXPECT_EQ(0u, helpCalls[0].data);
    // The centring timer is armed on the main window: killing it succeeds.
    EXPECT_TRUE(KillTimer(app.mainWindow, TIMER_HELP));
}
