// The tray clicks that reach other windows: the popup menu, and bringing the
// open dialogs forward (centred again only when moved).
#include "shell/appstate.h"
#include "shell/mainwnd.h"
#include "shell/seams.h"
#include "shell/tray.h"
#include "tests/support/modal_watcher.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/tray_fake.h"
#include "tests/support/wine_windows.h"

#include <stdlib.h>

#include <string>
#include <vector>

static HWND CreateTopLevel(const char *className, WNDPROC proc, DWORD style, int x, int y, int w, int h)
{
    RegisterTestClass(className, proc);
    return CreateWindowExA(0, className, className, style, x, y, w, h, NULL, NULL, GetModuleHandleA(NULL),
                           NULL);
}

static RECT RectOf(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return rect;
}

static bool SameRect(const RECT &a, const RECT &b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

static bool Centred(HWND window)
{
    RECT r = RectOf(window);
    int dx = (r.left + r.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2;
    int dy = (r.top + r.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2;
    return abs(dx) <= 8 && abs(dy) <= 1;
}

class TrayClicks : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        UseFakeShell();
        app.instance = ProductResources();
        window = CreateTopLevel("SorrelwickUnderTest", MainWindowProc, WS_POPUP, 0, 0, 0, 0);
        ASSERT_NE(HWND(NULL), window);
        app.mainWindow = window;
        other = CreateTopLevel("SomeOtherWindow", DefWindowProcA, WS_POPUP | WS_CAPTION | WS_VISIBLE, 600,
                               400, 200, 100);
    }
    void TearDown() override
    {
        app.settingsDialog = app.aboutDialog = NULL;
        DeleteTrayIcon();
        DestroyWindow(window);
        DestroyWindow(other);
        TakeQuitRequest();
        AppTest::TearDown();
    }

    HWND window = NULL;
    HWND other = NULL;  // the foreground window before a click
};

TEST_F(TrayClicks, RightClickWithoutADialogShowsTheTrayMenuAtTheCursor)
{
    for (LONG enable : {0, 1}) {
        SCOPED_TRACE(enable);
        SetOnOffState(enable);
        SetForegroundWindow(other);
        SetCursorPos(300, 200);
        std::vector<SeenMenu> menus;
        {
            ModalWatcher watcher;
            EXPECT_EQ(0, SendMessageA(window, WM_TRAYNOTIFY, 1, WM_RBUTTONUP));
            menus = watcher.Menus();
        }
        ASSERT_EQ(1u, menus.size());
        EXPECT_EQ(app.trayMenu, menus[0].menu);
        EXPECT_EQ(300, menus[0].rect.left);
        EXPECT_EQ(200, menus[0].rect.top);
        // Without the main window in front the menu would not close when
        // the user clicks elsewhere.
        EXPECT_EQ(window, menus[0].foreground);
        ExpectMenuShows(app.trayMenu, enable == 1);

        bool nullPosted = false;
        MSG msg;
        while (PeekMessageA(&msg, window, 0, 0, PM_REMOVE))
            nullPosted = nullPosted || msg.message == WM_NULL;
        EXPECT_TRUE(nullPosted);
    }
}

TEST_F(TrayClicks, ClicksWithADialogOpenBringItForwardAndCentreItIfMoved)
{
    static const struct {
        const char *name;
        bool settingsOpen, aboutOpen;
        int settingsDx, settingsDy, aboutDx, aboutDy;
        LPARAM mouse;
    } kCases[] = {
        {"settings unmoved, click", true, false, 0, 0, 0, 0, WM_LBUTTONUP},
        {"settings moved right, click", true, false, 37, 0, 0, 0, WM_LBUTTONUP},
        {"settings moved down, right click", true, false, 0, 29, 0, 0, WM_RBUTTONUP},
        {"settings resized only, right click", true, false, 0, 0, 0, 0, WM_RBUTTONUP},
        {"about moved, right click", false, true, 0, 0, 40, 40, WM_RBUTTONUP},
        {"about unmoved, click", false, true, 0, 0, 0, 0, WM_LBUTTONUP},
        {"both, about moved", true, true, 0, 0, -20, 15, WM_RBUTTONUP},
        {"both, settings moved", true, true, 25, 0, 0, 0, WM_LBUTTONUP},
        {"both moved, double click", true, true, 25, 0, 0, 15, WM_LBUTTONDBLCLK},
    };
    for (const auto &c : kCases) {
        SCOPED_TRACE(c.name);
        HWND settings = CreateTopLevel("FakeSettings", DefWindowProcA, WS_POPUP | WS_CAPTION | WS_VISIBLE,
                                       40, 50, 240, 160);
        HWND about = CreateTopLevel("FakeAbout", DefWindowProcA, WS_POPUP | WS_CAPTION | WS_VISIBLE, 100,
                                    120, 200, 140);
        app.settingsInitialRect = RectOf(settings);
        app.aboutInitialRect = RectOf(about);
        app.settingsDialog = c.settingsOpen ? settings : NULL;
        app.aboutDialog = c.aboutOpen ? about : NULL;
        SetWindowPos(settings, NULL, 40 + c.settingsDx, 50 + c.settingsDy, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SetWindowPos(about, NULL, 100 + c.aboutDx, 120 + c.aboutDy, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        if (strstr(c.name, "resized") != NULL)
            SetWindowPos(settings, NULL, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
        RECT settingsBefore = RectOf(settings), aboutBefore = RectOf(about);
        SetForegroundWindow(other);
        ASSERT_EQ(other, GetForegroundWindow());

        std::vector<SeenMenu> menus;
        {
            ModalWatcher watcher;
            EXPECT_EQ(0, SendMessageA(window, WM_TRAYNOTIFY, 1, c.mouse));
            menus = watcher.Menus();
        }
        EXPECT_TRUE(menus.empty());
        EXPECT_EQ(0, app.Enable);

        bool brings = c.mouse != WM_LBUTTONDBLCLK;
        const struct {
            bool open;
            HWND dialog;
            RECT before;
            bool moved;
        } dialogs[] = {
            {c.settingsOpen, settings, settingsBefore, c.settingsDx != 0 || c.settingsDy != 0},
            {c.aboutOpen, about, aboutBefore, c.aboutDx != 0 || c.aboutDy != 0},
        };
        for (const auto &d : dialogs) {
            SCOPED_TRACE(d.dialog == settings ? "settings" : "about");
            if (brings && d.open && d.moved) {
                EXPECT_TRUE(Centred(d.dialog));
            } else {
                EXPECT_TRUE(SameRect(d.before, RectOf(d.dialog)));
            }
        }
        // The About dialog is brought forward last, so it ends in front.
        HWND front = !brings ? other : c.aboutOpen ? about : settings;
        EXPECT_EQ(front, GetForegroundWindow());

        app.settingsDialog = app.aboutDialog = NULL;
        DestroyWindow(settings);
        DestroyWindow(about);
    }
}
