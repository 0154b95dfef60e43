// The settings dialog's Delete button on the real program, one start per case.
#include "shell/appstate.h"
#include "tests/blackbox/blackbox.h"

static const char kQuestion[] =
    "Sorrelwick レジストリ・アンインストール|Sorrelwick の設定をレジストリより削除しますか？\n\n\n"
    "[はい(Y)]    　設定を削除し、オリジナルに戻す。\n\n[いいえ(N)］   設定を削除し、オリジナルには戻さない。"
    "\n\n[キャンセル]   削除を中止する。\n\n";
using Names = std::vector<std::string>;
static const char *const kCaptured[AC_ROWS] = {"yes", "yes", "yes", "no\0", "no\0", "yes", "\x01\0\0"};
// What the Backup subkey holds when Delete is pressed: where it differs from
// this start's capture, Yes must give back these.
static const char *const kBackedUp[AC_ROWS] = {"yes", "yes", "no\0", "no\0", "no\0", "no\0", "\0\0\0"};

struct RemovalCase {
    const char *name, *version, *gone;  // gone: a key deleted before Delete is pressed
    int answer;            // to the first box; 0: the program is told to close meanwhile, and exits as ever
    int keysLeft;          // bits 0 to 2: the maker key, the program key, the Backup subkey
    const char *restored;  // the table rows, as digits, that end with their captured value, not the mark
    const char *warning;   // the text of the first box; none: the question
};
static void PrintTo(const RemovalCase &c, std::ostream *out) { *out << c.name; }  // names the test
class Removal : public BlackBox, public testing::WithParamInterface<RemovalCase> {};

TEST_P(Removal, DeleteButton)
{
    const RemovalCase &c = GetParam();
    DeleteValue(kMainPath, "FormSuggest PW Ask");  // not managed: its row opens disabled
    SetDword("Software\\Tarrow\\Other", "Kept", 1);  // keeps the maker key, unless deleted
    SetReportedVersion(c.version);
    ChildProcess child;
    ASSERT_TRUE(StartSorrelwick(child));
    HWND mainWindow = WaitForMainWindow(child);
    HWND dialog = WaitForWindow([] { return FindWindowA("#32770", "Sorrelwick の設定"); }, 10000);
    // Presses Delete as Alt+D does; answers the first box, then No only for AutoComplete1.reg.
    auto removal = [&](int answer) {
        Names seen;
        PostMessageA(mainWindow, WM_COMMAND, 1015, 0);
        for (HWND box; (box = WaitForMessageBox(child.Pid(), 1500)) != NULL;) {
            std::string text = MessageBoxText(box);
            seen.push_back(TextOf(box) + "|" + text);
            EXPECT_TRUE(MessageBoxHasIcon(box) && GetWindow(box, GW_OWNER) == dialog) << text;
            for (WPARAM command : {1015, 1003, 1014})  // none may act meanwhile, nor a tray click
                PostMessageA(mainWindow, WM_COMMAND, command, 0);
            PostMessageA(mainWindow, WM_TRAYNOTIFY, 1, WM_LBUTTONUP);
            int id = seen.size() == 1 ? answer : text.find(" を削除しますか") == text.npos ? IDOK
                   : text.find("AutoComplete1.reg") == text.npos ? IDYES : IDNO;
            id ? PressButton(box, id) : (void)PostMessageA(mainWindow, WM_CLOSE, 0, 0);
            WaitUntil([&] { return !IsWindow(box); }, 5000);
        }
        return seen;
    };
    ASSERT_EQ(Names{kQuestion}, removal(IDCANCEL));  // fills the backup buffers
    DeleteValue(kBackupPath, "AutoSuggest");  // then one value goes, one is cut short, one changes type
    SetExactValue(kBackupPath, "Append Completion", REG_SZ, "no", 3);
    SetDword(kBackupPath, "Use FormSuggest", 1);
    for (int row : {2, 5, 6})
        SetExactValue(kBackupPath, kAcValues[row].name, kAcValues[row].type, kBackedUp[row], 4);
    for (int row = 0; row < AC_ROWS; row++)  // Internet Explorer's values are marked
        SetExactValue(IePathOf(row), kAcValues[row].name, kAcValues[row].type, "mrk", 4);
    for (std::string name : {"AutoComplete1.reg", "AutoComplete2.reg", "Sorrelwick.GID"})
        WriteFileBytes(dir + "\\" + name, name);
    CreateDirectoryA((dir + "\\AutoComplete3.reg").c_str(), NULL);
    if (c.gone != NULL)
        DeleteTree(c.gone);
    bool committed = c.answer == IDYES || c.answer == IDNO, running = !committed && c.answer != 0;
    Names boxes = {c.warning ? std::string("Sorrelwick|") + c.warning : kQuestion};
    const std::string ask = "Sorrelwick|初期起動時に作成した ", sure = " を削除しますか？";
    if (committed)  // in the order of Wine's search
        boxes.insert(boxes.end(), {ask + "AutoComplete.reg" + sure, ask + "AutoComplete1.reg" + sure,
                                   "Sorrelwick|AutoComplete1.reg は削除しません。\n"
                                   "手動（ご自身）にて削除をして下さい。",
                                   ask + "AutoComplete2.reg" + sure, "Sorrelwick|プログラムを終了します。"});
    EXPECT_EQ(boxes, removal(c.answer));
    EXPECT_EQ(running ? STILL_ACTIVE : 0u, child.Wait(running ? 0 : 10000));
    auto enabled = [&](int id) { return IsWindowEnabled(GetDlgItem(dialog, id)); };  // as it opened, or gone
    EXPECT_EQ(running, IsWindowEnabled(dialog) && enabled(1015) && !enabled(1008) && !enabled(1055));
    const char *const keys[] = {kMakerPath, kProgramPath, kBackupPath};
    for (int i = 0; i < 3; i++)
        EXPECT_EQ((c.keysLeft >> i & 1) == 1, KeyExists(keys[i])) << keys[i];
    for (int row = 0; row < AC_ROWS; row++)  // the exit after a removal writes none
        ExpectValue(IePathOf(row), kAcValues[row].name, kAcValues[row].type,
                    Field(strchr(c.restored, '0' + row) ? (committed ? kBackedUp : kCaptured)[row] : "mrk"));
    EXPECT_EQ((committed ? Names{"AutoComplete1.reg", "AutoComplete3.reg"} : Names{"AutoComplete.reg",
               "AutoComplete1.reg", "AutoComplete2.reg", "AutoComplete3.reg", "Sorrelwick.GID"}), FilesIn(dir));
    if (committed) {  // the next start is a first run: the dialog opens by itself
        ChildProcess next;
        ASSERT_TRUE(StartSorrelwick(next));
        EXPECT_NE(HWND(NULL), WaitForWindow([] { return FindWindowA("#32770", "Sorrelwick の設定"); }, 10000));
        EXPECT_EQ(0u, CloseAndWait(next, WaitForMainWindow(next)));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Removal, testing::Values(
    RemovalCase{"NoMakerKey", "win7", kMakerPath, IDOK, 0, "", "削除するレジストリデータがありません。"},
    RemovalCase{"NoProgramKey", "win7", kProgramPath, IDOK, 1, "", "設定保存用のレジストリデータがありません。"},
    RemovalCase{"NoBackup", "win7", kBackupPath, IDOK, 3, "", "バックアップしたレジストリデータがありません。"},
    RemovalCase{"Cancel", "win7", NULL, IDCANCEL, 7, "", NULL},
    RemovalCase{"ClosedMeanwhile", "win7", NULL, 0, 7, "01246", NULL},
    RemovalCase{"No", "win7", "Software\\Tarrow\\Other", IDNO, 0, "", NULL},
    RemovalCase{"Yes", "win7", NULL, IDYES, 1, "26", NULL},
    RemovalCase{"YesOnWindows2000", "win2k", NULL, IDYES, 1, "25", NULL}));
