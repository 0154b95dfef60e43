// The settings dialog, created from the real template in-process: what its
// rows show at opening, what each command stores, Close's path check, and
// disabling the dialog as a whole.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "tests/support/modal_watcher.h"
#include "tests/support/settings_dialog.h"

static HANDLE WINAPI OutOfMemorySearch(LPCSTR, LPWIN32_FIND_DATAA)
{
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return INVALID_HANDLE_VALUE;
}

static const char kMissing[] = "該当レジストリデータが存在しませんでした。";
static const char kWasOn[] = "オリジナルの設定状態は「ON」です。\nここは変更できません。";
static const char kWasOff[] = "オリジナルの設定状態は「OFF」です。\nここは変更できません。";

struct ControlSeen {
    int id;
    bool enabled;
    bool checked;
};
struct HintSeen {
    int toolWindow;
    const char *text;
};

TEST_F(SettingsDialog, RowsShowAvailabilityAndHintsAtOpening)
{
    static const struct {
        const char *name;
        void (*prepare)();
        std::vector<ControlSeen> controls;
        std::vector<HintSeen> hints;
        bool flipConfigured = false;
    } kCases[] = {
        // The boxes show the configured values, the marks and their hints the captured ones.
        {"all there, each configured the other way", [] {},
         {{1005, true, false}, {1017, true, true}, {1008, false, true}, {1020, true, false}, {1010, true, false}, {1022, true, true}},
         {{1034, ""}, {1035, ""}, {1037, ""}, {1038, ""}, {1039, kWasOn}, {1040, kWasOn}, {1041, kWasOn},
          {1042, kWasOff}, {1043, kWasOff}, {1044, kWasOn}, {1015, "アンインストールです。"},
          {1036, "ここをチェックすると、下が有効になります。"}, {1026, "ここを有効にするには、上をチェックします。"}},
         true},
        {"each the other way",
         [] {
             SetString(kAcPath, "AutoSuggest", "no");
             SetString(kMainPath, "Use FormSuggest", "no");
             SetString(kMainPath, "FormSuggest Passwords", "no");
             SetString(kMainPath, "FormSuggest PW Ask", "yes");
             SetString(kAcPath, "Append Completion", "yes");
             SetDword(kSaPath, "AutoComplete", 0);
         },
         {{1007, true, true}, {1019, true, false}, {1008, true, false}, {1020, true, true}},
         {{1039, kWasOff}, {1040, kWasOff}, {1041, kWasOff}, {1042, kWasOn}, {1043, kWasOn}, {1044, kWasOff},
          {1036, "ここのチェックを外すと、下が無効になります。"}, {1026, "ここを無効にするには、上のチェックを外します。"}},
         true},
        {"three more rows missing",
         [] {
             DeleteValue(kMainPath, "Use FormSuggest");
             DeleteValue(kAcPath, "Append Completion");
             DeleteValue(kSaPath, "AutoComplete");
         },
         {{1006, false, false}, {1009, false, false}, {1010, false, false}},
         {{1035, kMissing}, {1040, kMissing}, {1037, kMissing}, {1043, kMissing}, {1038, kMissing}, {1044, kMissing},
          {1039, kWasOn}}},
        {"AutoSuggest missing", [] { DeleteValue(kAcPath, "AutoSuggest"); },
         {{1005, false, false}, {1017, false, false}, {1006, true, true}, {1018, true, true}},
         {{1034, kMissing}, {1039, kMissing}, {1040, "オリジナルの設定状態は「ON」です。\nここは変更できません。"},
          {1043, "オリジナルの設定状態は「OFF」です。\nここは変更できません。"}, {1015, "アンインストールです。"}}},
        {"passwords configured no", [] { SetString(kMainPath, "FormSuggest Passwords", "no"); },
         {{1007, true, false}, {1008, false, false}, {1020, true, false}},
         {{1026, "ここを有効にするには、上をチェックします。"}, {1036, "ここをチェックすると、下が有効になります。"}}},
        {"prompt present, passwords missing", [] { DeleteValue(kMainPath, "FormSuggest Passwords"); },
         {{1007, false, false}, {1019, false, false}, {1008, false, false}, {1020, false, false}},
         {{1036, kMissing}, {1041, kMissing},
          {1026, "上記の該当レジストリデータが存在しませんので、無効にしました。"},
          {1042, "上記の該当レジストリデータが存在しませんので、無効にしました。"}}},
        {"prompt missing, passwords yes", [] { DeleteValue(kMainPath, "FormSuggest PW Ask"); },
         {{1007, true, true}, {1008, false, false}, {1020, false, false}},
         {{1026, kMissing}, {1042, kMissing}, {1036, "ここのチェックを外すと、下が無効になります。"}}},
    };
    for (const auto &c : kCases) {
        SCOPED_TRACE(c.name);
        SeedTypicalIe();
        c.prepare();
        app.searchAssistantMode = 1;
        ASSERT_EQ(NULL, CaptureAutoCompleteValues());
        CopyCapturedToConfigured();
        for (int row = 0; row < AC_ROWS && c.flipConfigured; row++) {
            if (kAcValues[row].type == REG_DWORD)
                app.configured[row][0] ^= 1;
            else
                CopyMemory(app.configured[row], IsYes(app.configured[row]) ? "no\0" : "yes", 4);
        }
        OpenSettingsDialog();
        ASSERT_NE(HWND(NULL), dialog = app.settingsDialog);
        for (const ControlSeen &seen : c.controls) {
            EXPECT_EQ(seen.enabled, Enabled(seen.id)) << seen.id;
            EXPECT_EQ(seen.checked, Checked(seen.id)) << seen.id;
        }
        for (const HintSeen &seen : c.hints)
            EXPECT_EQ(seen.text, Hint(seen.toolWindow)) << seen.toolWindow;
        // Overlays stay enabled, so their hints show over disabled boxes.
        EXPECT_TRUE(Enabled(1034) && Enabled(1026) && Enabled(1039));
        SendMessageA(dialog, WM_CLOSE, 0, 0);
        EXPECT_EQ(HWND(NULL), app.settingsDialog);
        EXPECT_EQ(HWND(NULL), HintTooltip(1034));
    }
}

TEST_F(SettingsDialog, OpeningAndClosingLeavesNoWindowAndReopensWithDefaultHints)
{
    size_t before = TopLevelWindows(GetCurrentProcessId()).size();
    DeleteValue(kAcPath, "AutoSuggest");
    Open();
    EXPECT_EQ(before + 1 + HINT_COUNT, TopLevelWindows(GetCurrentProcessId()).size());
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(before, TopLevelWindows(GetCurrentProcessId()).size());

    SeedTypicalIe();
    Open();
    EXPECT_EQ("", Hint(1034));
    EXPECT_EQ(app.settingsDialog, dialog);
    OpenSettingsDialog();  // a second one is never made
    EXPECT_EQ(dialog, app.settingsDialog);
    EXPECT_EQ(before + 1 + HINT_COUNT, TopLevelWindows(GetCurrentProcessId()).size());
}

// Values that only a write by the dialog replaces.
static void MarkIe()
{
    SetValue(kAcPath, "AutoSuggest", REG_SZ, "mrk", 4);
    SetDword(kSaPath, "AutoComplete", 9);
}

TEST_F(SettingsDialog, RowTogglesStoreFourBytesAndReachIeOnlyWhenOn)
{
    const std::vector<BYTE> no = Bytes("no\0\0", 4), yes = Bytes("yes", 4), marked = Bytes("mrk", 4);
    Open();
    MarkIe();
    Command(1005);  // OFF: the program key only
    ExpectValue(kProgramPath, "AutoSuggest", REG_SZ, no);
    EXPECT_EQ(marked, ReadValue(kAcPath, "AutoSuggest").bytes);
    EXPECT_FALSE(Checked(1005));

    Command(1003);  // ON applies the configured set
    ExpectValue(kAcPath, "AutoSuggest", REG_SZ, no);
    EXPECT_EQ(1, app.Enable);
    MarkIe();
    Command(1034);  // the overlay acts as the box: both keys
    ExpectValue(kAcPath, "AutoSuggest", REG_SZ, yes);
    ExpectValue(kProgramPath, "AutoSuggest", REG_SZ, yes);
    Command(1010);  // the Search Assistant DWORD
    ExpectValue(kSaPath, "AutoComplete", REG_DWORD, DwordBytes(0));
    ExpectValue(kProgramPath, "AutoComplete", REG_DWORD, DwordBytes(0));

    // A real click on an overlay, and a key forwarded by the main window.
    HWND overlay = GetDlgItem(dialog, 1035);
    SendMessageA(overlay, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(overlay, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    ExpectValue(kMainPath, "Use FormSuggest", REG_SZ, no);
    SendMessageA(app.mainWindow, WM_COMMAND, 1006, 0);
    ExpectValue(kMainPath, "Use FormSuggest", REG_SZ, yes);
    EXPECT_EQ(GetDlgItem(dialog, 1006), GetFocus());

    // Indicators and Enter do nothing.
    for (int id : {1017, 1039, 1022, 1044, IDOK})
        Command(id);
    EXPECT_TRUE(Checked(1017));
    EXPECT_EQ(HWND(NULL), WaitForMessageBox(GetCurrentProcessId(), 0));
    EXPECT_EQ(dialog, app.settingsDialog);
}

// Every value under a key, by name, to tell which ones a click changed.
static std::map<std::string, RegValue> ValuesUnder(const char *path)
{
    std::map<std::string, RegValue> values;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    char name[256];
    for (DWORD i = 0, length = sizeof(name); RegEnumValueA(key, i, name, &length, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
         i++, length = sizeof(name))
        values[name] = ReadValue(path, name);
    RegCloseKey(key);
    return values;
}

// A click where the user makes it: button down and up on the window under the
// control's centre, which over a value box is the overlay that lies on it.
static void Click(HWND dialog, int id)
{
    RECT rect;
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    HWND target = WindowFromPoint(point);
    ScreenToClient(target, &point);
    SendMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    SendMessageA(target, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

TEST_F(SettingsDialog, EachClickStoresItsOwnSettingAndNothingElse)
{
    const std::vector<BYTE> yes = Bytes("yes", 4), no = Bytes("no\0\0", 4);
    const struct {
        int id;
        const char *name;
        DWORD type;
        std::vector<BYTE> bytes;
    } kClicks[] = {
        {1001, "ExitType", REG_DWORD, DwordBytes(1)},   {1002, "ExitType", REG_DWORD, DwordBytes(2)},
        {1000, "ExitType", REG_DWORD, DwordBytes(0)},   {1012, "ExitAction", REG_DWORD, DwordBytes(1)},
        {1011, "ExitAction", REG_DWORD, DwordBytes(0)}, {1052, "KillIE", REG_DWORD, DwordBytes(1)},
        {1054, "EndIE", REG_DWORD, DwordBytes(1)},      {1053, "StartIE", REG_DWORD, DwordBytes(1)},
        {1052, "KillIE", REG_DWORD, DwordBytes(0)},     {1054, "EndIE", REG_DWORD, DwordBytes(0)},
        {1053, "StartIE", REG_DWORD, DwordBytes(0)},    {1005, "AutoSuggest", REG_SZ, no},
        {1006, "Use FormSuggest", REG_SZ, no},          {1007, "FormSuggest Passwords", REG_SZ, no},
        {1007, "FormSuggest Passwords", REG_SZ, yes},   {1008, "FormSuggest PW Ask", REG_SZ, yes},
        {1009, "Append Completion", REG_SZ, yes},       {1010, "AutoComplete", REG_DWORD, DwordBytes(0)},
        {1003, "Enable", REG_DWORD, DwordBytes(1)},     {1004, "Enable", REG_DWORD, DwordBytes(0)},
    };
    const std::vector<std::vector<int>> radioGroups = {{1000, 1001, 1002}, {1003, 1004}, {1011, 1012}};
    Open();
    auto ieValues = [] {  // a string written back is the whole 4-byte field
        std::vector<std::map<std::string, RegValue>> keys = {ValuesUnder(kAcPath), ValuesUnder(kMainPath), ValuesUnder(kSaPath)};
        for (auto &key : keys)
            for (auto &value : key)
                value.second.bytes.resize(value.second.type == REG_SZ ? 4 : value.second.bytes.size());
        return keys;
    };
    const auto users = ieValues();
    for (const auto &c : kClicks) {
        SCOPED_TRACE(c.id);
        std::map<std::string, RegValue> before = ValuesUnder(kProgramPath);
        Click(dialog, c.id);
        std::map<std::string, RegValue> after = ValuesUnder(kProgramPath);
        ExpectValue(kProgramPath, c.name, c.type, c.bytes);
        for (auto *values : {&before, &after})  // the journal is another matter
            values->erase(c.name), values->erase("RunCaptured");
        EXPECT_TRUE(before == after) << "another value changed too";
        for (const auto &group : radioGroups)
            EXPECT_EQ(1, std::count_if(group.begin(), group.end(), [&](int id) { return Checked(id); }));
        bool radio = c.id <= 1004 || c.id == 1011 || c.id == 1012;
        EXPECT_EQ(radio || c.bytes == yes || c.bytes == DwordBytes(1), Checked(c.id));
        EXPECT_EQ(Checked(1053), Enabled(1055));
        if (c.id == 1003) {  // ON: Internet Explorer takes the stored set
            for (int row = 0; row < AC_ROWS; row++) {
                RegValue stored = ReadValue(kProgramPath, kAcValues[row].name);
                if (stored.exists)
                    ExpectValue(IePathOf(row), kAcValues[row].name, stored.type, stored.bytes);
            }
        } else {  // OFF: the user's own values, untouched or back
            EXPECT_TRUE(users == ieValues());
        }
    }
}

TEST_F(SettingsDialog, UnavailableRowsIgnoreClicksAndThePasswordRowGatesThePrompt)
{
    DeleteValue(kAcPath, "AutoSuggest");
    Open();
    Command(1005);
    Command(1034);
    EXPECT_FALSE(ReadValue(kProgramPath, "AutoSuggest").exists);
    EXPECT_FALSE(Checked(1005));

    Command(1007);  // "yes" to "no": the prompt row goes dark, its tick stays
    EXPECT_FALSE(Enabled(1008));
    EXPECT_EQ("ここを有効にするには、上をチェックします。", Hint(1026));
    EXPECT_EQ("ここをチェックすると、下が有効になります。", Hint(1036));
    Command(1026);
    EXPECT_FALSE(ReadValue(kProgramPath, "FormSuggest PW Ask").exists);
    Command(1007);
    EXPECT_TRUE(Enabled(1008));
    EXPECT_EQ("ここを無効にするには、上のチェックを外します。", Hint(1026));
    EXPECT_EQ("ここのチェックを外すと、下が無効になります。", Hint(1036));
    Command(1026);
    ExpectValue(kProgramPath, "FormSuggest PW Ask", REG_SZ, Bytes("yes", 4));
}

TEST_F(SettingsDialog, SettingsAreStoredAsDwordsWithoutCreatingTheKey)
{
    Open();
    CheckDlgButton(dialog, 1053, BST_CHECKED);  // what its own click does first
    for (int id : {1001, 1012, 1053})
        Command(id);
    for (const char *name : {"ExitType", "ExitAction", "StartIE"})
        ExpectValue(kProgramPath, name, REG_DWORD, DwordBytes(1));
    EXPECT_TRUE(Enabled(1055) && Checked(1001) && !Checked(1000) && Checked(1012) && !Checked(1011));
    DeleteTree(kMakerPath);
    Command(1002);
    Command(1005);
    EXPECT_EQ(2, app.ExitType);
    EXPECT_FALSE(KeyExists(kMakerPath));
}

TEST_F(SettingsDialog, CloseChecksThePathOnlyWhenIeIsToBeStarted)
{
    std::string dir = FreshTestDir();
    WriteFileBytes(dir + "\\iexplore.exe", "MZ");
    // Dots and blanks in the folders: no shorter prefix of a part is a file.
    const std::string dotted = dir + "\\v2.0 ie\\x.y z";
    CreateDirectoryA((dir + "\\v2.0 ie").c_str(), NULL);
    CreateDirectoryA(dotted.c_str(), NULL);
    for (const char *name : {"\\fake ie.exe", "\\start page.htm"})
        WriteFileBytes(dotted + name, "MZ");
    const struct {
        const char *name;
        LONG startIe;
        std::string text;
        const char *box;  // null: none
        bool closes;
    } kCases[] = {
        {"missing file", 1, dir + "\\nothing.exe", "指定されたファイルが見つかりません。", false},
        {"missing folder", 1, dir + "\\nowhere\\iexplore.exe", "指定されたファイルが見つかりません。", false},
        {"wildcard in a folder", 1, dir + "\\*\\iexplore.exe", "無効なファイル名です。", false},
        {"empty", 1, "", "指定されたファイルが見つかりません。", false},
        {"out of memory", 1, "", NULL, false},
        {"wildcard that matches", 1, dir + "\\iexp*.exe", NULL, true},
        {"empty, not started", 0, "", NULL, true},
        // Only the program part is looked for, as the launch finds it.
        {"program with blanks, then arguments", 1, "C:\\Program Files\\Internet Explorer\\iexplore.exe -nohome", NULL, true},
        {"quoted, without .exe, then arguments", 1, "\"" + dir + "\\iexplore\" -nohome", NULL, true},
        {"on the search path, then arguments", 1, "notepad x.txt", NULL, true},
        {"pattern with blanks, then arguments", 1, "C:\\Program Files\\Internet Explorer\\iexp*.exe -nohome", NULL, true},
        {"quoted and missing, then arguments", 1, "\"" + dir + "\\nothing\" " + dir + "\\iexplore.exe", "指定されたファイルが見つかりません。", false},
        {"dotted folders, no extension, then arguments", 1, dotted + "\\fake ie -k", NULL, true},
        {"dotted folders, quoted, no extension", 1, "\"" + dotted + "\\fake ie\" -k", NULL, true},
        {"dotted folders, quoted, with .exe", 1, "\"" + dotted + "\\fake ie.exe\"", NULL, true},
        {"dotted folders, another extension, then arguments", 1, dotted + "\\start page.htm -k", NULL, true},
        {"dotted folders, missing", 1, dotted + "\\fake -k", "指定されたファイルが見つかりません。", false},
        {"bare name with .exe, then arguments", 1, "notepad.exe x.txt", NULL, true},
    };
    for (const auto &c : kCases) {
        SCOPED_TRACE(c.name);
        SetExactValue(kProgramPath, "IEPath", REG_SZ, "marker", 6);
        lstrcpyA(app.iePath, kDefaultIePath);
        app.StartIE = c.startIe;
        pFindFirstFileA = std::string(c.name) == "out of memory" ? OutOfMemorySearch : FindFirstFileA;
        Open();
        SetDlgItemTextA(dialog, 1055, c.text.c_str());
        std::vector<SeenBox> boxes;
        {
            ModalWatcher watcher;
            Command(1013);
            boxes = watcher.Boxes();
        }
        ASSERT_EQ(c.box != NULL ? 1u : 0u, boxes.size());
        if (c.box != NULL) {
            EXPECT_EQ(c.box, boxes[0].text);
            EXPECT_EQ("Sorrelwick", boxes[0].title);
            EXPECT_EQ(dialog, boxes[0].owner);
        }
        EXPECT_EQ(c.closes, app.settingsDialog == NULL);
        if (c.closes)
            ExpectValue(kProgramPath, "IEPath", REG_SZ, Bytes(c.text.data(), c.text.size()));
        else
            EXPECT_EQ(Bytes("marker", 6), ReadValue(kProgramPath, "IEPath").bytes);
        if (app.settingsDialog != NULL)
            SendMessageA(dialog, WM_CLOSE, 0, 0);
    }
}

TEST_F(SettingsDialog, OnlyCloseStoresThePathCutToTheBuffer)
{
    SetExactValue(kProgramPath, "IEPath", REG_SZ, "marker", 6);
    // Esc, the close box and Exit drop the typed text; a change of letter
    // case alone is no change.
    for (UINT how : {1027u, (UINT)WM_CLOSE, 1014u, 1013u}) {
        SCOPED_TRACE(how);
        Open();
        SetDlgItemTextA(dialog, 1055, how == 1013 ? "c:\\program files\\internet explorer\\iexplore.exe" : "typed");
        if (how == WM_CLOSE)
            SendMessageA(dialog, WM_CLOSE, 0, 0);
        else
            Command(how);
        EXPECT_EQ(HWND(NULL), app.settingsDialog);
        EXPECT_STREQ(kDefaultIePath, app.iePath);
        EXPECT_EQ(Bytes("marker", 6), ReadValue(kProgramPath, "IEPath").bytes);
        EXPECT_EQ(how == 1014, TakeQuitRequest());
    }

    // The second bytes of "ア" and "ヂ" are "A" and "a": another character,
    // not another letter case, so the path has changed.
    lstrcpyA(app.iePath, "C:\\ア.exe");
    Open();
    SetDlgItemTextA(dialog, 1055, "C:\\ヂ.exe");
    Command(1013);
    ExpectValue(kProgramPath, "IEPath", REG_SZ, Bytes("C:\\ヂ.exe", 9));

    Open();
    SetDlgItemTextA(dialog, 1055, std::string(1100, 'p').c_str());
    Command(1013);
    ExpectValue(kProgramPath, "IEPath", REG_SZ, std::vector<BYTE>(1023, 'p'));
    EXPECT_EQ(1023, lstrlenA(app.iePath));
}

TEST_F(SettingsDialog, DisablingKeepsRowsThatWereDisabledAndIgnoresCommands)
{
    DeleteValue(kAcPath, "AutoSuggest");
    SetString(kMainPath, "FormSuggest Passwords", "no");
    Open();
    SetSettingsDialogEnabled(dialog, 0);
    EXPECT_FALSE(IsWindowEnabled(dialog));
    for (int id : {1000, 1003, 1006, 1018, 1013, 1016, 1023, 1052})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_EQ(FALSE, SendMessageA(dialog, WM_COMMAND, 1006, 0));
    SendMessageA(dialog, WM_COMMAND, 1016, 0);
    SendMessageA(dialog, WM_HELP, 0, 0);
    EXPECT_FALSE(ReadValue(kProgramPath, "Use FormSuggest").exists);
    EXPECT_EQ(0, helpRequests);

    SetSettingsDialogEnabled(dialog, 1);
    EXPECT_TRUE(IsWindowEnabled(dialog));
    for (int id : {1000, 1003, 1006, 1018, 1007, 1013, 1016, 1023, 1052})
        EXPECT_TRUE(Enabled(id)) << id;
    for (int id : {1005, 1017, 1008, 1055})
        EXPECT_FALSE(Enabled(id)) << id;
    Command(1016);
    SendMessageA(dialog, WM_HELP, 0, 0);
    EXPECT_EQ(2, helpRequests);
}
