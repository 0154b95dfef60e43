// The About box in-process from the real template: labels, icon, the settings dialog behind it.
#include "about/about.h"
#include "tests/support/settings_dialog.h"

#include <vector>

#include "shell/seams.h"

using AboutBox = SettingsDialog;  // each test runs in a process of its own

static std::string Repeat(const char *text, int times)
{
    return times > 0 ? text + Repeat(text, times - 1) : "";
}

static std::string moduleFile;  // what the box is told its own file is

static DWORD WINAPI ModuleFile(HMODULE, LPSTR name, DWORD size)
{
    lstrcpynA(name, moduleFile.c_str(), size);
    return (DWORD)moduleFile.size();
}

TEST_F(AboutBox, LabelsComeFromTheProgramsOwnFile)
{
    const struct { std::string file, product, version, copyright; } kCases[] = {
        {"", "", "Version  : Unkown", ""},  // the real call: a test program has no version block
        // Found by the search, cut to the label, a double-byte character whole.
        {TestProgramDir() + "\\odd_version.dll", "Found",
         "Version " + Repeat("1234567890", 12).substr(0, ABOUT_LABEL_SIZE - 9), Repeat("著", 63)},
    };
    for (const auto &c : kCases) {
        SCOPED_TRACE(c.file);
        moduleFile = c.file;
        pGetModuleFileNameA = c.file.empty() ? GetModuleFileNameA : ModuleFile;
        SendMessageA(app.mainWindow, WM_COMMAND, IDM_ABOUT, 0);
        HWND about = app.aboutDialog;
        SendMessageA(app.mainWindow, WM_COMMAND, IDM_ABOUT, 0);  // while one is open: nothing
        EXPECT_EQ(about, app.aboutDialog);
        EXPECT_EQ("Sorrelwick について", TextOf(about));
        EXPECT_EQ(c.product, TextOf(GetDlgItem(about, 1030)));
        EXPECT_EQ(c.version, TextOf(GetDlgItem(about, 1029)));
        EXPECT_EQ(c.copyright, TextOf(GetDlgItem(about, 1031)));
        SendMessageA(about, WM_COMMAND, 1032, 0);
        EXPECT_FALSE(IsWindow(about));
    }
}

// Enough of the icon control's pixels to tell the icons apart; first draws icon `id`, if given.
static std::vector<COLORREF> IconPixels(HWND control, int id = 0)
{
    if (id != 0)
        RedrawWindow(control, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = GetDC(control);
    if (id != 0)
        DrawIcon(dc, 0, 0, LoadIconA(app.instance, MAKEINTRESOURCEA(id)));
    std::vector<COLORREF> pixels;
    for (int i = 0; i < 64; i++)
        pixels.push_back(GetPixel(dc, i % 8 * 4 + 2, i / 8 * 4 + 2));
    ReleaseDC(control, dc);
    return pixels;
}

TEST_F(AboutBox, IconShowsOneTwoThreeOneAPaintASecond)
{
    OpenAboutDialog();
    HWND control = GetDlgItem(app.aboutDialog, 1033);
    std::vector<std::vector<COLORREF>> shown;
    for (LONG frame = app.aboutIconFrame; shown.size() < 4; frame = app.aboutIconFrame) {
        ASSERT_TRUE(WaitUntil([frame] { return app.aboutIconFrame != frame; }, 2500));
        shown.push_back(IconPixels(control));
    }
    std::vector<COLORREF> icon1 = IconPixels(control, 1), icon2 = IconPixels(control, 2), icon3 = IconPixels(control, 3);
    EXPECT_TRUE(shown == (std::vector<std::vector<COLORREF>>{icon1, icon2, icon3, icon1}));
    EXPECT_TRUE(icon1 != icon2 && icon2 != icon3 && icon3 != icon1);
}

static std::vector<BOOL> EnabledControls(HWND dialog)
{
    std::vector<BOOL> states;
    for (HWND control = GetWindow(dialog, GW_CHILD); control != NULL; control = GetWindow(control, GW_HWNDNEXT))
        states.push_back(IsWindowEnabled(control));
    return states;
}

TEST_F(AboutBox, SettingsDialogWaitsWithoutHelpBehindItAndComesBackAsItWas)
{
    DeleteValue(kAcPath, "Append Completion");  // its row opens disabled
    HWND settings = Open();
    const std::vector<BOOL> before = EnabledControls(settings);
    ASSERT_FALSE(Enabled(1009));
    for (HWND *closer : {&app.aboutDialog, &app.mainWindow}) {  // OK, or Escape through the main window
        helpRequests = 0;
        SendMessageA(settings, WM_SYSCOMMAND, IDM_ABOUT_BOX, 0);
        HWND about = app.aboutDialog;
        EXPECT_FALSE(IsWindowEnabled(settings));
        SendMessageA(about, WM_SYSCOMMAND, 1016, 0);  // help from the About box, none behind it
        Command(1016);
        SendMessageA(settings, WM_HELP, 0, 0);
        EXPECT_EQ(1, helpRequests);
        SendMessageA(*closer, WM_COMMAND, closer == &app.aboutDialog ? 1032 : 1027, 0);
        EXPECT_FALSE(IsWindow(about));
        EXPECT_EQ(NULL, app.aboutDialog);
        EXPECT_TRUE(before == EnabledControls(settings));
        EXPECT_EQ(settings, GetForegroundWindow());
        keybd_event(VK_F1, 0, 0, 0);
        keybd_event(VK_F1, 0, KEYEVENTF_KEYUP, 0);
        EXPECT_TRUE(WaitUntil([] { return helpRequests >= 2; }, 5000));
        EXPECT_EQ(2, helpRequests);
    }
}

// Each item of a system menu: its label, the command it carries, and whether it is grayed.
struct SystemMenuItem {
    std::string label;
    UINT command;
    bool grayed;
};
static std::vector<SystemMenuItem> SystemMenuOf(HWND window)
{
    std::vector<SystemMenuItem> items;
    HMENU menu = GetSystemMenu(window, FALSE);
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        char label[128] = "";
        GetMenuStringA(menu, i, label, sizeof(label), MF_BYPOSITION);
        items.push_back({label, GetMenuItemID(menu, i), (GetMenuState(menu, i, MF_BYPOSITION) & MF_GRAYED) != 0});
    }
    return items;
}

// Chooses the item of that label, sending the command that the item carries.
static void Choose(HWND window, const std::string &label)
{
    for (const SystemMenuItem &item : SystemMenuOf(window)) {
        if (item.label.compare(0, label.size(), label) == 0) {
            SendMessageA(window, WM_SYSCOMMAND, item.command, 0);
            return;
        }
    }
    ADD_FAILURE() << "no item " << label;
}

TEST_F(AboutBox, EachSystemMenuItemDoesWhatItsLabelSays)
{
    HWND settings = Open();
    std::vector<std::string> labels;
    for (const SystemMenuItem &item : SystemMenuOf(settings))
        labels.push_back(item.label);
    ASSERT_LE(4u, labels.size());
    EXPECT_EQ((std::vector<std::string>{"ヘルプ (&H)", "", "ﾊﾞｰｼﾞｮﾝ情報 (&V)", ""}),
              std::vector<std::string>(labels.begin(), labels.begin() + 4));
    Choose(settings, "ヘルプ (&H)");
    EXPECT_EQ(1, helpRequests);
    EXPECT_EQ(NULL, app.aboutDialog);
    Choose(settings, "ﾊﾞｰｼﾞｮﾝ情報 (&V)");
    HWND about = app.aboutDialog;
    ASSERT_NE(HWND(NULL), about);
    EXPECT_EQ(1, helpRequests);

    // The About box: help, and it stays; the standard Close closes it.
    ASSERT_LE(2u, SystemMenuOf(about).size());
    EXPECT_EQ("ヘルプ (&H)", SystemMenuOf(about)[0].label);
    Choose(about, "ヘルプ (&H)");
    EXPECT_EQ(2, helpRequests);
    EXPECT_EQ(about, app.aboutDialog);
    Choose(about, "閉じる(&C)");
    EXPECT_FALSE(IsWindow(about));
    EXPECT_TRUE(IsWindowEnabled(settings));

    // The settings dialog's standard Close drops a typed path, ends nothing.
    SetDlgItemTextA(settings, 1055, "typed");
    Choose(settings, "閉じる(&C)");
    EXPECT_EQ(NULL, app.settingsDialog);
    EXPECT_STREQ(kDefaultIePath, app.iePath);
    EXPECT_FALSE(ReadValue(kProgramPath, "IEPath").exists);
    EXPECT_FALSE(TakeQuitRequest());
    EXPECT_EQ(2, helpRequests);
}
