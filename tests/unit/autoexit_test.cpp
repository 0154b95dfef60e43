// The line rule of the auto-exit poll, its timer and its fallback thread, with
// RAS and the timer replaced. The Internet Explorer rule looks at every
// top-level window, so it is tested among the desktop tests.
#include "iecontrol/autoexit.h"
#include "shell/appstate.h"
#include "shell/seams.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/wine_windows.h"

#include <string>
#include <vector>

// RAS's own error numbers.
#define RAS_BUFFER_TOO_SMALL 603
#define RAS_INVALID_SIZE 632

// What the fake RAS answers to one line check.
struct LineAnswer {
    DWORD enumResult;
    DWORD count;
    DWORD state;
    DWORD statusResult;
};

static const LineAnswer kUp = {0, 1, RAS_CONNECTED, 0};
static const LineAnswer kDown = {0, 1, RAS_DISCONNECTED, 0};
static const LineAnswer kDialling = {0, 1, 6 /* RASCS_Authenticate */, 0};
static const LineAnswer kNoLine = {0, 0, RAS_DISCONNECTED, 0};
static const LineAnswer kEnumFails = {RAS_INVALID_SIZE, 1, RAS_DISCONNECTED, 0};
static const LineAnswer kStatusFails = {0, 1, RAS_DISCONNECTED, ERROR_INVALID_HANDLE};
// Two connections do not fit one record: RAS says so and counts them.
static const LineAnswer kTwoUp = {RAS_BUFFER_TOO_SMALL, 2, RAS_CONNECTED, 0};
static const LineAnswer kTwoDown = {RAS_BUFFER_TOO_SMALL, 2, RAS_DISCONNECTED, 0};

static const HANDLE kLine = (HANDLE)(ULONG_PTR)0x5150;

static volatile LONG enumCalls;
static std::string recordFault;  // the first wrong thing the code passed to RAS
static LineAnswer answer;
// For the thread and timer tests: the line is up for this many checks, then down.
static volatile LONG upChecks = -1;

static bool ZeroFrom(const void *record, size_t from, size_t size)
{
    for (size_t i = from; i < size; i++) {
        if (((const BYTE *)record)[i] != 0)
            return false;
    }
    return true;
}

static const LineAnswer &Current()
{
    if (upChecks < 0)
        return answer;
    return enumCalls <= upChecks ? kUp : kDown;
}

static DWORD WINAPI FakeEnum(void *buffer, DWORD *bytes, DWORD *count)
{
    InterlockedIncrement(&enumCalls);
    RasConnXp *conn = (RasConnXp *)buffer;
    if (recordFault.empty() && (*bytes != sizeof(RasConnXp) || conn->dwSize != sizeof(RasConnXp) ||
                                *count != 0 || !ZeroFrom(conn, sizeof(DWORD), sizeof(RasConnXp))))
        recordFault = "connection record";
    // Fill the whole record as RAS may: only the fields asked for count.
    FillMemory(conn, sizeof(RasConnXp), 0xBD);
    conn->dwSize = sizeof(RasConnXp);
    conn->hrasconn = kLine;
    *count = Current().count;
    return Current().enumResult;
}

static DWORD WINAPI FakeStatus(HANDLE line, void *buffer)
{
    RasConnStatusXp *status = (RasConnStatusXp *)buffer;
    if (recordFault.empty() && (line != kLine || status->dwSize != sizeof(RasConnStatusXp) ||
                                !ZeroFrom(status, sizeof(DWORD), sizeof(RasConnStatusXp))))
        recordFault = "status record";
    FillMemory(status, sizeof(RasConnStatusXp), 0xBD);
    status->dwSize = sizeof(RasConnStatusXp);
    status->rasconnstate = Current().state;
    status->dwError = 0;
    return Current().statusResult;
}

struct TimerRequest {
    HWND window;
    UINT_PTR id;
    UINT ms;
};
static std::vector<TimerRequest> timerRequests;

static UINT_PTR WINAPI FailingSetTimer(HWND window, UINT_PTR id, UINT ms, TIMERPROC)
{
    timerRequests.push_back({window, id, ms});
    return 0;
}

static UINT_PTR WINAPI RecordedSetTimer(HWND window, UINT_PTR id, UINT ms, TIMERPROC proc)
{
    timerRequests.push_back({window, id, ms});
    return SetTimer(window, id, ms, proc);
}

class AutoExit : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        enumCalls = 0;
        recordFault.clear();
        answer = kNoLine;
        upChecks = -1;
        timerRequests.clear();
        pRasEnumConnectionsA = FakeEnum;
        pRasGetConnectStatusA = FakeStatus;
        app.mainWindow = CreateCloseCounter();
        ASSERT_NE(HWND(NULL), app.mainWindow);
    }
    void TearDown() override
    {
        StopAutoExitPoll();
        DestroyWindow(app.mainWindow);
        AppTest::TearDown();
    }
};

TEST_F(AutoExit, LineRuleArmsOnAConnectionAndFiresOnALaterDisconnection)
{
    struct Tick {
        LONG exitType;
        LineAnswer line;
    };
    const struct {
        const char *name;
        std::vector<Tick> ticks;
        std::vector<int> exitTicks;  // 1-based ticks that send WM_CLOSE
        LONG armedAfter;
    } cases[] = {
        {"up, up, down", {{1, kUp}, {1, kUp}, {1, kDown}}, {3}, RAS_CONNECTED},
        {"the arming tick does not test", {{1, kUp}, {1, kDown}, {1, kDown}}, {2, 3}, RAS_CONNECTED},
        {"down before up only records", {{1, kDown}, {1, kDown}, {1, kUp}, {1, kDown}}, {4}, RAS_CONNECTED},
        {"dialling, vanished or failing lines never fire",
         {{1, kUp}, {1, kDialling}, {1, kNoLine}, {1, kEnumFails}, {1, kStatusFails}},
         {},
         RAS_CONNECTED},
        {"two connections neither arm nor fire", {{1, kTwoUp}, {1, kTwoDown}, {1, kTwoUp}}, {}, 0},
        {"two connections after arming do not fire", {{1, kUp}, {1, kTwoDown}, {1, kTwoDown}}, {}, RAS_CONNECTED},
        {"no line never arms", {{1, kNoLine}, {1, kEnumFails}, {1, kStatusFails}, {1, kDialling}}, {}, 0},
        {"armed rule survives another ExitType", {{1, kUp}, {0, kDown}, {3, kDown}, {-1, kDown}, {1, kDown}},
         {5}, RAS_CONNECTED},
        {"other ExitTypes never look at the line", {{0, kUp}, {3, kUp}, {0, kDown}, {3, kDown}}, {}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        app.rasLastState = 0;
        SetWindowLongPtrA(app.mainWindow, GWLP_USERDATA, 0);
        std::vector<int> exits;
        for (size_t i = 0; i < c.ticks.size(); i++) {
            app.ExitType = c.ticks[i].exitType;
            answer = c.ticks[i].line;
            LONG closes = CloseCount(app.mainWindow);
            LONG enums = enumCalls;
            AutoExitPoll();
            // A tick of the line rule is one line check; other rules make none.
            EXPECT_EQ(c.ticks[i].exitType == 1 ? 1 : 0, enumCalls - enums) << "tick " << i + 1;
            if (CloseCount(app.mainWindow) != closes)
                exits.push_back((int)i + 1);
        }
        EXPECT_EQ(c.exitTicks, exits);
        EXPECT_EQ(c.armedAfter, app.rasLastState);
    }
    EXPECT_EQ("", recordFault);
    EXPECT_EQ(0, app.ieSeen);
}

TEST_F(AutoExit, TimerTicksEvery500msOnTheMainWindowUntilStopped)
{
    pSetTimer = RecordedSetTimer;
    app.ExitType = 1;
    upChecks = 1;
    StartAutoExitPoll();
    ASSERT_EQ(1u, timerRequests.size());
    EXPECT_EQ(app.mainWindow, timerRequests[0].window);
    EXPECT_EQ(UINT_PTR(TIMER_POLL), timerRequests[0].id);
    EXPECT_EQ(500u, timerRequests[0].ms);
    EXPECT_NE(UINT_PTR(0), app.pollTimerId);
    EXPECT_EQ(HANDLE(NULL), app.monitorThread);

    DWORD start = GetTickCount();
    ASSERT_TRUE(WaitUntil([] { return CloseCount(app.mainWindow) > 0; }, 5000));
    // Armed by the first tick, fired by the second.
    EXPECT_GE(GetTickCount() - start, 800u);
    EXPECT_EQ(2, enumCalls);

    StopAutoExitPoll();
    EXPECT_EQ(UINT_PTR(0), app.pollTimerId);
    // The timer has ticked above; watch for more than one period that it no
    // longer does.
    LONG enums = enumCalls;
    PumpMessages(800);
    EXPECT_EQ(enums, enumCalls);
}

TEST_F(AutoExit, WithoutATimerALowestPriorityThreadRunsTheRulesUntilStopped)
{
    pSetTimer = FailingSetTimer;
    app.ExitType = 1;
    upChecks = 50;
    StartAutoExitPoll();
    ASSERT_EQ(1u, timerRequests.size());
    EXPECT_EQ(UINT_PTR(TIMER_POLL), timerRequests[0].id);
    EXPECT_EQ(UINT_PTR(0), app.pollTimerId);
    ASSERT_NE(HANDLE(NULL), app.monitorThread);
    EXPECT_EQ(THREAD_PRIORITY_LOWEST, GetThreadPriority(app.monitorThread));

    // It reaches us only through the WM_CLOSE it sends.
    ASSERT_TRUE(WaitUntil([] { return CloseCount(app.mainWindow) > 0; }, 10000));
    EXPECT_EQ(RAS_CONNECTED, app.rasLastState);
    EXPECT_GT(enumCalls, 50);
    EXPECT_EQ("", recordFault);

    HANDLE thread;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), app.monitorThread, GetCurrentProcess(), &thread,
                                SYNCHRONIZE, FALSE, 0));
    // Let it wait for us to answer its next request, as it does when the
    // message loop has just ended: the stop must answer it, not hang on it.
    DWORD start = GetTickCount();
    while (!(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) && GetTickCount() - start < 10000)
        Sleep(10);
    LONG closes = CloseCount(app.mainWindow);
    StopAutoExitPoll();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 0));
    CloseHandle(thread);
    EXPECT_EQ(HANDLE(NULL), app.monitorThread);
    EXPECT_EQ(closes + 1, CloseCount(app.mainWindow));

    // It has ended: nothing can look at the line any more.
    LONG enums = enumCalls;
    PumpMessages(200);
    EXPECT_EQ(enums, enumCalls);
}
