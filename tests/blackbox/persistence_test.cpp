#include "resources/resource.h"
#include "shell/appstate.h"
#include "tests/blackbox/blackbox.h"

#include <string>
#include <vector>

// Internet Explorer's seven values as SeedTypicalIe leaves them once they
// have been written back: every text as 4 bytes.
static const char *const kTypical[AC_ROWS] = {"yes", "yes", "yes", "no\0", "no\0", "yes", "\x01\0\0"};

static bool IeHolds(const char *const fields[AC_ROWS])  // null: the value does not exist
{
    for (int row = 0; row < AC_ROWS; row++) {
        RegValue value = ReadValue(IePathOf(row), kAcValues[row].name);
        if (fields[row] ? !value.exists || value.type != kAcValues[row].type || value.bytes != Field(fields[row]) : value.exists)
            return false;
    }
    return true;
}

static void ExpectIe(const char *const fields[AC_ROWS])
{
    for (int row = 0; row < AC_ROWS; row++)
        ExpectValue(IePathOf(row), kAcValues[row].name, kAcValues[row].type, Field(fields[row]));
}

// Wine reports Windows 7 here, so the Search Assistant value takes part and
// Use AutoComplete does not.
TEST_F(BlackBox, FirstRunStoresTheCapturedValuesAndLeavesThemAlone)
{
    const std::string expectedFile =
        "Windows Registry Editor Version 5.00\n\n"
        "[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main]\n"
        "\"Use FormSuggest\"=\"yes\"\n\"FormSuggest Passwords\"=\"yes\"\n\"FormSuggest PW Ask\"=\"no\"\n\n"
        "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoComplete]\n"
        "\"AutoSuggest\"=\"yes\"\n\"Append Completion\"=\"no\"\n\n"
        "[HKEY_CURRENT_USER\\Software\\Microsoft\\Search Assistant]\n"
        "\"AutoComplete\"=dword:00000001\n";
    ChildProcess child;
    ASSERT_TRUE(StartSorrelwick(child));
    HWND mainWindow = WaitForMainWindow(child);
    ASSERT_NE(HWND(NULL), mainWindow);
    std::string file = dir + "\\AutoComplete.reg";
    EXPECT_TRUE(WaitUntil([&]() { return ReadFileBytes(file) == expectedFile; }, 10000))
        << ReadFileBytes(file);
    EXPECT_EQ(std::vector<std::string>{"AutoComplete.reg"}, FilesIn(dir));

    const char *const dwords[] = {"ExitAction", "Enable", "ExitType", "KillIE", "StartIE", "EndIE"};
    for (const char *name : dwords)
        ExpectValue(kProgramPath, name, REG_DWORD, DwordBytes(0));
    ExpectValue(kProgramPath, "CompleteCount", REG_DWORD, DwordBytes(6));
    ExpectValue(kProgramPath, "IEPath", REG_SZ,
                Bytes("C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE", 47));
    const char *const paths[] = {kProgramPath, kBackupPath};
    for (const char *path : paths) {
        for (int row = 0; row < AC_ROWS; row++) {
            if (row == AC_USE_AUTOCOMPLETE)
                EXPECT_FALSE(ReadValue(path, kAcValues[row].name).exists) << path;
            else
                ExpectValue(path, kAcValues[row].name, kAcValues[row].type, Field(kTypical[row]));
        }
    }

    EXPECT_EQ(0u, CloseAndWait(child, mainWindow));
    ExpectIe(kTypical);
}

// A stored ON state puts the configured values in place while the program
// runs; the exit leaves what ExitAction chooses.
TEST_F(BlackBox, StoredOnStateAppliesTheConfiguredValuesUntilExit)
{
    const char *const configured[AC_ROWS] = {"no\0", "no\0", "no\0", "yes", "yes", "yes", "\0\0\0"};
    for (LONG exitAction = 0; exitAction <= 1; exitAction++) {
        SCOPED_TRACE(exitAction);
        ClearIeAndStore();
        SeedTypicalIe();
        dir = FreshTestDir();
        SetDword(kProgramPath, "Enable", 1);
        SetDword(kProgramPath, "ExitAction", exitAction);
        SetDword(kProgramPath, "CompleteCount", 6);
        for (int row = 0; row < AC_AUTOCOMPLETE; row++)
            SetExactValue(kProgramPath, kAcValues[row].name, REG_SZ, configured[row], 4);
        SetString(kProgramPath, "Use AutoComplete", "no");  // not this mode's value
        SetDword(kProgramPath, "AutoComplete", 0);

        ChildProcess child;
        ASSERT_TRUE(StartSorrelwick(child));
        HWND mainWindow = WaitForMainWindow(child);
        ASSERT_NE(HWND(NULL), mainWindow);
        EXPECT_TRUE(WaitUntil([&]() { return IeHolds(configured); }, 10000));
        ExpectIe(configured);
        // The count still matches: the store is not rebuilt.
        EXPECT_TRUE(FilesIn(dir).empty());
        EXPECT_FALSE(KeyExists(kBackupPath));

        EXPECT_EQ(0u, CloseAndWait(child, mainWindow));
        ExpectIe(exitAction == 1 ? configured : kTypical);
    }
}

// Ended by force (Task Manager, a crash), a run leaves what it applied; the
// next start still gives the user's own values back, keeps a value changed
// by hand, and takes a forced end while OFF as it is.
TEST_F(BlackBox, AForcedEndStillGivesTheUsersValuesBack)
{
    const char *const configured[AC_ROWS] = {"no\0", "no\0", "no\0", "no\0", "yes", "yes", "\0\0\0"};
    const char *const gone[AC_ROWS] = {"yes", "yes", "yes", NULL, "no\0", "yes", "\x01\0\0"};
    const char *const edited[AC_ROWS] = {"no\0", "yes", "yes", "no\0", "no\0", "yes", "\x01\0\0"};
    const struct {
        LONG enable;
        int forcedEnds;
        void (*before)(), (*meanwhile)();  // before the first start; after the forced ends
        const char *const *after;          // Internet Explorer's values at the end
        UINT command;                      // before the exit
    } cases[] = {
        {1, 1, NULL, NULL, kTypical, IDM_OFF},
        {1, 2, NULL, NULL, kTypical, 0},
        {1, 1, NULL, [] { DeleteValue(kMainPath, "FormSuggest PW Ask"); }, gone, 0},
        // Not there for the forced run: the new value is the user's, though it equals the configured one.
        {1, 1, [] { DeleteValue(kMainPath, "FormSuggest PW Ask"); SetDword(kProgramPath, "CompleteCount", 5); },
         [] { SetString(kMainPath, "FormSuggest PW Ask", "no"); }, kTypical, 0},
        {0, 1, NULL, [] { SetString(kAcPath, "AutoSuggest", "no"); }, edited, 0},
        {1, 2, NULL, [] { SetDword(kProgramPath, "CompleteCount", 5); }, kTypical, IDM_OFF},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(&c - cases);
        ClearIeAndStore();
        SeedTypicalIe();
        SetDword(kProgramPath, "Enable", c.enable);
        SetDword(kProgramPath, "CompleteCount", 6);
        for (int row = AC_USE_FORMSUGGEST; row < AC_ROWS; row++)  // AutoSuggest loads as "no" all the same
            SetExactValue(kProgramPath, kAcValues[row].name, kAcValues[row].type, configured[row], 4);
        SetString(kBackupPath, "AutoSuggest", "old");  // from the store's first run
        if (c.before != NULL)
            c.before();
        dir = FreshTestDir();
        for (int run = 0; run < c.forcedEnds; run++) {
            ChildProcess child;
            ASSERT_TRUE(StartSorrelwick(child));
            // While a run goes on, what it captured is kept beside the settings.
            ASSERT_TRUE(WaitUntil([&] { return ReadValue(kProgramPath, "RunCaptured").bytes.size() == 36
                                            && ReadValue(kAcPath, "AutoSuggest").bytes == Field(c.enable ? "no\0" : "yes"); }, 10000));
            child.Kill();
            if (run == 0 && c.meanwhile != NULL)
                c.meanwhile();
        }
        ChildProcess child;
        ASSERT_TRUE(StartSorrelwick(child));
        HWND mainWindow = WaitForMainWindow(child);
        PostMessageA(mainWindow, WM_COMMAND, c.command, 0);
        EXPECT_TRUE(WaitUntil([&] { return c.command == 0 || IeHolds(c.after); }, 10000));
        EXPECT_EQ(0u, CloseAndWait(child, mainWindow));
        EXPECT_TRUE(IeHolds(c.after));
        EXPECT_FALSE(ReadValue(kProgramPath, "RunCaptured").exists);
        // A rebuilt store (and its file) backs up the user's own values; else the Backup stays.
        bool rebuilt = c.before != NULL || c.after == gone || (c.forcedEnds == 2 && c.meanwhile != NULL);
        EXPECT_EQ(Field(rebuilt ? "yes" : "old"), ReadValue(kBackupPath, "AutoSuggest").bytes);
        EXPECT_EQ(rebuilt, ReadFileBytes(dir + "\\AutoComplete.reg").find("\"AutoSuggest\"=\"yes\"") != std::string::npos);
    }
}
