// The tray registration's retry loop, with the shell replaced by a scripted
// stand-in. Its failure boxes are real, so it runs on the desktop alone.
#include "shell/appstate.h"
#include "shell/seams.h"
#include "shell/tray.h"
#include "tests/support/modal_watcher.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/tray_fake.h"

#include <string>
#include <vector>

static const NotifyResult kAdded = {TRUE, 0};
static const NotifyResult kTimedOut = {FALSE, ERROR_TIMEOUT};
static const NotifyResult kRefused = {FALSE, ERROR_ACCESS_DENIED};
static const NotifyResult kNotModified = {FALSE, ERROR_GEN_FAILURE};

// `count` attempts that time out and then cannot modify the icon either.
static std::vector<NotifyResult> FailedAttempts(int count)
{
    std::vector<NotifyResult> script;
    for (int i = 0; i < count; i++)
        script.insert(script.end(), {kTimedOut, kNotModified, kAdded});
    return script;
}

static std::vector<DWORD> FailedAttemptCalls(int count)
{
    std::vector<DWORD> calls;
    for (int i = 0; i < count; i++)
        calls.insert(calls.end(), {NIM_ADD, NIM_MODIFY, NIM_DELETE});
    return calls;
}

class TrayRegistration : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        app.instance = ProductResources();
        ASSERT_NE(HINSTANCE(NULL), app.instance) << "Sorrelwick.exe must lie beside the tests";
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
        app.mainWindow = owner;
    }
    void TearDown() override
    {
        DeleteTrayIcon();
        DestroyWindow(owner);
        TakeQuitRequest();
        AppTest::TearDown();
    }

    HWND owner = NULL;
};

TEST_F(TrayRegistration, RetriesOnlyAfterATimeOutAndGivesUpAfterFive)
{
    std::vector<NotifyResult> fourFailed = FailedAttempts(4), fiveFailed = FailedAttempts(5);
    std::vector<DWORD> fourFailedCalls = FailedAttemptCalls(4), fiveFailedCalls = FailedAttemptCalls(5);
    fourFailed.push_back(kAdded);
    fourFailedCalls.push_back(NIM_ADD);

    static const DWORD kWait = 150;
    const struct {
        const char *name;
        std::vector<NotifyResult> script;
        std::vector<DWORD> calls;
        bool givesUp;
    } kCases[] = {
        {"added at once", {kAdded}, {NIM_ADD}, false},
        {"refused: silent, no retry", {kRefused}, {NIM_ADD}, false},
        {"timed out, then modified", {kTimedOut, kAdded}, {NIM_ADD, NIM_MODIFY}, false},
        {"timed out, then refused", {kTimedOut, kNotModified, kAdded, kRefused},
         {NIM_ADD, NIM_MODIFY, NIM_DELETE, NIM_ADD}, false},
        {"added at the fifth attempt", fourFailed, fourFailedCalls, false},
        {"five failed attempts", fiveFailed, fiveFailedCalls, true},
    };
    trayRetryWaitMs = kWait;
    for (const auto &c : kCases) {
        SCOPED_TRACE(c.name);
        UseFakeShell(c.script);
        std::vector<SeenBox> boxes;
        {
            ModalWatcher watcher;
            RegisterTrayIcon(owner);
            boxes = watcher.Boxes();
        }
        std::vector<NotifyCall> calls = NotifyCalls();
        EXPECT_EQ(c.calls, NotifyMessages());
        for (size_t i = 0; i < calls.size(); i++) {
            SCOPED_TRACE(i);
            if (calls[i].message == NIM_ADD) {
                // Every attempt builds its menu and record afresh.
                EXPECT_EQ(10, calls[i].menuItems);
                ExpectTrayRecord(calls[i], owner, false);
            }
            if (calls[i].message == NIM_MODIFY) {
                EXPECT_GE(calls[i].tick - calls[i - 1].tick, kWait - 20);
                ExpectTrayRecord(calls[i], owner, false);
            }
        }
        EXPECT_EQ(c.givesUp, TakeQuitRequest());
        if (c.givesUp) {
            ASSERT_EQ(2u, boxes.size());
            EXPECT_EQ("タスクトレイにアイコンを登録できませんでした", boxes[0].text);
            EXPECT_EQ("終了します。", boxes[1].text);
            for (const SeenBox &box : boxes) {
                EXPECT_EQ("Sorrelwick", box.title);
                EXPECT_EQ(owner, box.owner);
                EXPECT_EQ(LoadIconA(NULL, IDI_HAND), box.icon);
            }
            // Whatever is left must not be one of the destroyed menus.
            EXPECT_TRUE(app.trayMenu == NULL || IsMenu(app.trayMenu));
            for (const NotifyCall &call : calls) {
                if (call.message == NIM_DELETE) {
                    EXPECT_NE(call.menu, app.trayMenu);
                }
            }
            // The later users of the menu and icon must cope.
            UseFakeShell();
            SetOnOffState(1);
            EXPECT_EQ(1, app.Enable);
            EXPECT_EQ("Sorrelwick : ON", std::string(NotifyCalls().back().record.szTip));
        } else {
            EXPECT_TRUE(boxes.empty());
            ExpectMenuShows(app.trayMenu, false);
        }
        DeleteTrayIcon();
        app.Enable = 0;
    }
}
