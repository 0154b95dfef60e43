// The tray icon's record and menu and the ON/OFF state they show, with the
// shell replaced by a recording stand-in.
#include "shell/appstate.h"
#include "shell/seams.h"
#include "shell/tray.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/tray_fake.h"

#include <string>
#include <vector>

class Tray : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        UseFakeShell();
        app.instance = ProductResources();
        ASSERT_NE(HINSTANCE(NULL), app.instance) << "Sorrelwick.exe must lie beside the tests";
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
        app.mainWindow = owner;
        // An odd value that no state would store, so every write shows.
        SetDword(kProgramPath, "Enable", 7);
    }
    void TearDown() override
    {
        DeleteTrayIcon();
        DestroyWindow(owner);
        TakeQuitRequest();
        AppTest::TearDown();
    }

    void ExpectRecordShows(const NotifyCall &call, bool on) { ExpectTrayRecord(call, owner, on); }

    HWND owner = NULL;
};

TEST_F(Tray, MenuHasTheTenItemsInOrder)
{
    static const struct {
        UINT id;
        const char *text;  // null for a separator
    } kItems[] = {
        {256, "機能をONにする (&E)"}, {257, "機能をOFFにする (&O)"}, {0, NULL},
        {258, "設　定 (&S)"},         {0, NULL},                   {259, "ヘルプ (&H)"},
        {0, NULL},                    {260, "ﾊﾞｰｼﾞｮﾝ情報 (&V)"},   {0, NULL},
        {261, "終　了 (&X)"},
    };
    RegisterTrayIcon(owner);
    std::vector<MenuItemSeen> items = ReadMenu(app.trayMenu);
    ASSERT_EQ(10u, items.size());
    for (int i = 0; i < 10; i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ(kItems[i].id, items[i].id);
        if (kItems[i].text == NULL) {
            EXPECT_EQ(UINT(MFT_SEPARATOR), items[i].type);
            EXPECT_EQ("", items[i].text);
        } else {
            EXPECT_EQ(UINT(MFT_STRING), items[i].type);
            EXPECT_EQ(kItems[i].text, items[i].text);
        }
        // OFF at first: only the OFF item is marked and it alone is bold;
        // every command is enabled (separators count as grayed anyway).
        UINT expected = i == 1 ? UINT(MFS_CHECKED | MFS_DEFAULT) : 0u;
        UINT mask = kItems[i].text == NULL ? UINT(MFS_CHECKED | MFS_DEFAULT) : ~0u;
        EXPECT_EQ(expected, items[i].state & mask);
    }
}

TEST_F(Tray, RegistrationShowsTheEnableOfThatMomentAndStoresNothing)
{
    static const struct {
        LONG enable;
        bool on;
    } kCases[] = {{0, false}, {1, true}, {2, false}, {-1, false}};
    for (const auto &c : kCases) {
        SCOPED_TRACE(c.enable);
        UseFakeShell();
        app.Enable = c.enable;
        RegisterTrayIcon(owner);
        ASSERT_EQ(std::vector<DWORD>{NIM_ADD}, NotifyMessages());
        ExpectRecordShows(NotifyCalls()[0], c.on);
        ExpectMenuShows(app.trayMenu, c.on);
        EXPECT_EQ(c.enable, app.Enable);
        // At start-up Enable is not loaded yet: storing it would lose it.
        EXPECT_EQ(DwordBytes(7), ReadValue(kProgramPath, "Enable").bytes);
        DeleteTrayIcon();
    }
}

TEST_F(Tray, EveryStateChangeShowsAndStoresTheState)
{
    static const struct {
        LONG state;
        bool on;
    } kSteps[] = {{1, true}, {1, true}, {0, false}, {2, false}, {1, true}, {-1, false}, {0, false}};
    RegisterTrayIcon(owner);
    for (const auto &step : kSteps) {
        SCOPED_TRACE(step.state);
        SetDword(kProgramPath, "Enable", 7);
        UseFakeShell();
        SetOnOffState(step.state);
        EXPECT_EQ(step.on ? 1 : 0, app.Enable);
        ASSERT_EQ(std::vector<DWORD>{NIM_MODIFY}, NotifyMessages());
        ExpectRecordShows(NotifyCalls()[0], step.on);
        ExpectMenuShows(app.trayMenu, step.on);
        RegValue stored = ReadValue(kProgramPath, "Enable");
        EXPECT_EQ(DWORD(REG_DWORD), stored.type);
        EXPECT_EQ(DwordBytes(step.on ? 1 : 0), stored.bytes);
    }
}

TEST_F(Tray, WithoutTheProgramKeyTheStateChangesButNoKeyIsCreated)
{
    RegisterTrayIcon(owner);
    DeleteTree(kMakerPath);
    UseFakeShell();
    SetOnOffState(1);
    EXPECT_EQ(1, app.Enable);
    ExpectMenuShows(app.trayMenu, true);
    ASSERT_EQ(1u, NotifyCalls().size());
    ExpectRecordShows(NotifyCalls()[0], true);
    EXPECT_FALSE(KeyExists(kProgramPath));
    EXPECT_FALSE(KeyExists(kMakerPath));
}

TEST_F(Tray, ReplacedIconsAndTheMenuAreReleased)
{
    RegisterTrayIcon(owner);
    SetOnOffState(1);
    SetOnOffState(0);
    SetOnOffState(0);
    std::vector<NotifyCall> calls = NotifyCalls();
    ASSERT_EQ(4u, calls.size());
    ICONINFO info;
    for (size_t i = 0; i + 1 < calls.size(); i++) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(GetIconInfo(calls[i].record.hIcon, &info));
    }
    HICON shown = calls.back().record.hIcon;
    ASSERT_TRUE(GetIconInfo(shown, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    HMENU menu = app.trayMenu;
    DeleteTrayIcon();
    EXPECT_EQ(NIM_DELETE, NotifyCalls().back().message);
    EXPECT_FALSE(IsMenu(menu));
    EXPECT_FALSE(GetIconInfo(shown, &info));
}
