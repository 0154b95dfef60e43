// The census, the termination and the launch against real windows and
// processes, and the Internet Explorer rule of the poll.
#include "iecontrol/autoexit.h"
#include "iecontrol/census.h"
#include "shell/appstate.h"
#include "shell/seams.h"
#include "tests/support/child_process.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/wine_windows.h"

#include <algorithm>
#include <string>
#include <vector>

static const char kWineIe[] = "C:\\Program Files\\Internet Explorer\\iexplore.exe";

static bool IsFrameClass(HWND window)
{
    return lstrcmpiA(ClassOf(window).c_str(), "IEFrame") == 0;
}

// The owners of the frame windows, in the order the system lists windows.
static std::vector<DWORD> FrameOwnersInOrder()
{
    std::vector<DWORD> pids;
    for (HWND window : TopLevelWindows()) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (IsFrameClass(window))
            pids.push_back(pid);
    }
    return pids;
}

static size_t WindowsOf(DWORD pid)
{
    size_t count = 0;
    for (HWND window : TopLevelWindows(pid))
        count += ClassOf(window) != "IME";
    return count;
}

static bool WaitForWindowsOf(const ChildProcess &child, size_t count)
{
    DWORD pid = child.Pid();
    return WaitUntil([&] { return WindowsOf(pid) >= count; }, 10000);
}

static std::vector<DWORD> CensusTable()
{
    return std::vector<DWORD>(app.iePids, app.iePids + app.iePidCount);
}

// The slots the next handles take: the lowest free ones, so a handle that
// something forgot to close shows as a changed set of slots.
static std::vector<HANDLE> FreeHandleSlots()
{
    std::vector<HANDLE> slots;
    for (int i = 0; i < 16; i++)
        slots.push_back(CreateEventA(NULL, FALSE, FALSE, NULL));
    for (HANDLE slot : slots)
        CloseHandle(slot);
    return slots;
}

class Census : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        // Nothing of an earlier test may count as Internet Explorer here.
        EndWindowOwners("IEFrame");
        dir = FreshTestDir();
    }
    void TearDown() override
    {
        EndWindowOwners("IEFrame");
        EndWindowOwners("LaunchProbe");
        AppTest::TearDown();
    }
    std::string dir;
};

TEST_F(Census, RecordsTheOwnerOfEveryIeFrameWindowOfAnyCaseOrVisibility)
{
    app.iePidCount = 7;  // what an earlier census left
    EXPECT_EQ(0, CountIeWindows());
    EXPECT_EQ(0, app.iePidCount);

    const struct {
        const char *args;
        size_t windows;
        int entries;
    } kinds[] = {
        // Class names are atoms: the first spelling registered is the one
        // every later window of that class reports.
        {"1 class=ieframe", 1, 1},
        {"2", 2, 2},
        {"1 hidden", 1, 1},
        {"2 hidden class=IEFRAME", 2, 2},
        {"1 class=IEFrameX", 1, 0},
        {"1 hidden class=IEFram", 1, 0},
        {"1 class=CabinetWClass", 1, 0},
    };
    const size_t n = sizeof(kinds) / sizeof(kinds[0]);
    ChildProcess children[n];
    for (size_t i = 0; i < n; i++) {
        ASSERT_TRUE(children[i].Start("fake_ie.exe", kinds[i].args, dir));
        ASSERT_TRUE(WaitForWindowsOf(children[i], kinds[i].windows)) << kinds[i].args;
    }
    ASSERT_EQ("ieframe", ClassOf(FindWindowA("IEFrame", NULL)));

    EXPECT_EQ(1, CountIeWindows());
    int total = 0;
    for (size_t i = 0; i < n; i++) {
        int entries = 0;
        for (DWORD pid : CensusTable())
            entries += pid == children[i].Pid();
        EXPECT_EQ(kinds[i].entries, entries) << kinds[i].args;
        total += kinds[i].entries;
    }
    EXPECT_EQ(total, app.iePidCount);
    EXPECT_EQ(FrameOwnersInOrder(), CensusTable());
    for (size_t i = 0; i < n; i++)
        EXPECT_TRUE(children[i].Running()) << kinds[i].args;
}

TEST_F(Census, KeepsTheFirstHundredWindowsAndTerminatesOnlyTheirOwners)
{
    ChildProcess older, newer;
    ASSERT_TRUE(older.Start("fake_ie.exe", "50 hidden", dir));
    ASSERT_TRUE(WaitForWindowsOf(older, 50));
    ASSERT_TRUE(newer.Start("fake_ie.exe", "100 hidden", dir));
    ASSERT_TRUE(WaitForWindowsOf(newer, 100));
    std::vector<DWORD> order = FrameOwnersInOrder();
    ASSERT_EQ(150u, order.size());

    EXPECT_EQ(1, CountIeWindows());
    ASSERT_EQ(100, app.iePidCount);
    EXPECT_EQ(std::vector<DWORD>(order.begin(), order.begin() + 100), CensusTable());

    std::vector<DWORD> table = CensusTable();
    TerminateCollectedIe();
    EXPECT_EQ(0, app.iePidCount);
    for (ChildProcess *child : {&older, &newer}) {
        bool collected = false;
        for (DWORD pid : table)
            collected = collected || pid == child->Pid();
        EXPECT_EQ(collected ? 0u : DWORD(STILL_ACTIVE), child->Wait(collected ? 5000 : 300));
    }
}

TEST_F(Census, TerminatesEveryCollectedProcessOnceAndLeavesOthers)
{
    ChildProcess three, one, bystander;
    ASSERT_TRUE(three.Start("fake_ie.exe", "3", dir));
    ASSERT_TRUE(one.Start("fake_ie.exe", "1 hidden", dir));
    ASSERT_TRUE(bystander.Start("fake_ie.exe", "1 class=Bystander", dir));
    ASSERT_TRUE(WaitForWindowsOf(three, 3));
    ASSERT_TRUE(WaitForWindowsOf(one, 1));
    ASSERT_TRUE(WaitForWindowsOf(bystander, 1));

    EXPECT_EQ(1, CountIeWindows());
    std::vector<DWORD> table = CensusTable();
    EXPECT_EQ(4u, table.size());
    EXPECT_EQ(3, std::count(table.begin(), table.end(), three.Pid()));
    EXPECT_EQ(1, std::count(table.begin(), table.end(), one.Pid()));
    std::vector<HANDLE> handles = FreeHandleSlots();
    TerminateCollectedIe();
    EXPECT_EQ(0, app.iePidCount);
    EXPECT_EQ(0u, three.Wait(5000));
    EXPECT_EQ(0u, one.Wait(5000));
    EXPECT_EQ(handles, FreeHandleSlots());
    EXPECT_TRUE(bystander.Running());

    EXPECT_EQ(0, TerminateProcessById(0xFFFFFFF0));  // no such process
    EXPECT_NE(0, TerminateProcessById(bystander.Pid()));
    EXPECT_EQ(0u, bystander.Wait(5000));
    EXPECT_EQ(handles, FreeHandleSlots());
}

TEST_F(Census, FindsWineInternetExplorerAndTerminatesIt)
{
    ChildProcess ie;
    ASSERT_TRUE(ie.StartCommand(std::string("\"") + kWineIe + "\"", ""));
    DWORD pid = ie.Pid();
    HWND frame = WaitForWindow(
        [pid]() -> HWND {
            for (HWND window : TopLevelWindows(pid)) {
                if (ClassOf(window) == "IEFrame")
                    return window;
            }
            return NULL;
        },
        20000);
    ASSERT_NE(HWND(NULL), frame);

    EXPECT_EQ(1, CountIeWindows());
    EXPECT_EQ(FrameOwnersInOrder(), CensusTable());
    EXPECT_EQ(std::vector<DWORD>(app.iePidCount, pid), CensusTable());
    TerminateCollectedIe();
    EXPECT_EQ(0, app.iePidCount);
    EXPECT_EQ(0u, ie.Wait(5000));
    EXPECT_EQ(0, CountIeWindows());
}

TEST_F(Census, LaunchRunsTheCommandLineAsGivenAndKeepsNoHandle)
{
    std::string log = dir + "\\launch.log";
    std::string probe = "\"" + TestProgramDir() + "\\fake_ie.exe\" 1 hidden class=LaunchProbe log=" + log;
    const struct {
        std::string commandLine;
        int result;
    } cases[] = {
        {probe, 1},
        {"\"" + dir + "\\missing.exe\" 1", 0},
        {dir + "\\no such folder\\fake_ie.exe", 0},
        {"", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.commandLine);
        char buffer[IEPATH_SIZE];
        lstrcpyA(buffer, c.commandLine.c_str());
        std::vector<HANDLE> handles = FreeHandleSlots();
        EXPECT_EQ(c.result, LaunchIe(buffer));
        EXPECT_EQ(handles, FreeHandleSlots());
        EXPECT_EQ(c.commandLine, buffer);
    }
    ASSERT_TRUE(WaitUntil([&] { return ReadFileBytes(log).size() > probe.size(); }, 10000));
    EXPECT_NE(HWND(NULL), WaitForWindow([] { return FindWindowA("LaunchProbe", NULL); }, 10000));
    EXPECT_EQ(probe + "\r\n", ReadFileBytes(log));
}

// The Internet Explorer rule of the poll, with frame windows of our own.
class IeRule : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        EndWindowOwners("IEFrame");
        RegisterTestClass("IEFrame", DefWindowProcA);
        app.mainWindow = CreateCloseCounter();
        ASSERT_NE(HWND(NULL), app.mainWindow);
    }
    void TearDown() override
    {
        StopAutoExitPoll();
        SetFrames(0);
        DestroyWindow(app.mainWindow);
        AppTest::TearDown();
    }
    void SetFrames(size_t count)
    {
        while (frames.size() < count)
            frames.push_back(CreateWindowExA(0, "IEFrame", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                                             GetModuleHandleA(NULL), NULL));
        while (frames.size() > count) {
            DestroyWindow(frames.back());
            frames.pop_back();
        }
    }
    std::vector<HWND> frames;
};

TEST_F(IeRule, ArmsOnAFrameWindowAndFiresWhenNoneIsLeft)
{
    struct Tick {
        LONG exitType;
        size_t frames;
    };
    const struct {
        const char *name;
        std::vector<Tick> ticks;
        std::vector<int> exitTicks;  // 1-based ticks that send WM_CLOSE
        LONG armedAfter;
    } cases[] = {
        {"seen, then gone", {{2, 1}, {2, 2}, {2, 1}, {2, 0}}, {4}, 1},
        {"the arming tick does not test", {{2, 1}, {2, 0}, {2, 0}}, {2, 3}, 1},
        {"relaunch: nothing seen yet only keeps arming", {{2, 0}, {2, 0}, {2, 0}, {2, 1}, {2, 0}}, {5}, 1},
        {"never started", {{2, 0}, {2, 0}, {2, 0}}, {}, 0},
        {"2, 0, 2 stays armed", {{2, 1}, {0, 0}, {0, 0}, {2, 0}}, {4}, 1},
        {"other ExitTypes never exit", {{2, 1}, {0, 0}, {3, 0}, {-1, 0}, {0x102, 0}}, {}, 1},
        {"other ExitTypes do not arm", {{0, 1}, {3, 1}, {2, 0}, {2, 0}}, {}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        app.ieSeen = 0;
        SetWindowLongPtrA(app.mainWindow, GWLP_USERDATA, 0);
        std::vector<int> exits;
        for (size_t i = 0; i < c.ticks.size(); i++) {
            SetFrames(c.ticks[i].frames);
            app.ExitType = c.ticks[i].exitType;
            LONG closes = CloseCount(app.mainWindow);
            AutoExitPoll();
            if (CloseCount(app.mainWindow) != closes)
                exits.push_back((int)i + 1);
        }
        EXPECT_EQ(c.exitTicks, exits);
        EXPECT_EQ(c.armedAfter, app.ieSeen);
    }
    // The poll keeps its census to itself.
    EXPECT_EQ(0, app.iePidCount);
    EXPECT_EQ(0, app.rasLastState);
}

static UINT_PTR WINAPI NoTimer(HWND, UINT_PTR, UINT, TIMERPROC)
{
    return 0;
}

TEST_F(IeRule, FallbackThreadRunsTheSameRule)
{
    pSetTimer = NoTimer;
    app.ExitType = 2;
    SetFrames(1);
    StartAutoExitPoll();
    ASSERT_NE(HANDLE(NULL), app.monitorThread);
    ASSERT_TRUE(WaitUntil([] { return *(volatile LONG *)&app.ieSeen == 1; }, 10000));
    // Armed; it polls without a pause, so it looks again many times in this.
    PumpMessages(200);
    EXPECT_EQ(0, CloseCount(app.mainWindow));
    SetFrames(0);
    EXPECT_TRUE(WaitUntil([] { return CloseCount(app.mainWindow) > 0; }, 10000));
    StopAutoExitPoll();
    EXPECT_EQ(HANDLE(NULL), app.monitorThread);
}

// What a tick must get right whatever it costs (its cost is a figure of
// scripts/bench-poll.sh): an armed tick closes nothing while frame windows of
// ours or of another process exist, and fires once they are gone.
TEST_F(IeRule, AnArmedTickSeesFrameWindowsOfAnyProcess)
{
    app.ExitType = 2;
    app.ieSeen = 1;
    SetFrames(50);
    AutoExitPoll();
    EXPECT_EQ(0, CloseCount(app.mainWindow));
    EXPECT_EQ(1, CountIeWindows());
    EXPECT_EQ(std::vector<DWORD>(50, GetCurrentProcessId()), CensusTable());

    SetFrames(0);
    ChildProcess ie;
    ASSERT_TRUE(ie.Start("fake_ie.exe", "50 hidden", FreshTestDir()));
    ASSERT_TRUE(WaitForWindowsOf(ie, 50));
    AutoExitPoll();
    EXPECT_EQ(0, CloseCount(app.mainWindow));
    EXPECT_EQ(1, CountIeWindows());
    EXPECT_EQ(std::vector<DWORD>(50, ie.Pid()), CensusTable());

    ie.Kill();
    ASSERT_TRUE(WaitUntil([] { return FindWindowA("IEFrame", NULL) == NULL; }, 5000));
    AutoExitPoll();
    EXPECT_EQ(1, CloseCount(app.mainWindow));
}
