#include "settings/settings.h"
#include "shell/appstate.h"
#include "shell/seams.h"
#include "tests/support/app_in_dir.h"

#include <shlwapi.h>

#include <string>
#include <vector>

class BackupFile : public AppTestInDir {
protected:
    // Every row managed, all "yes" but FormSuggest PW Ask and Append
    // Completion "no", and a Search Assistant value of 1.
    void Typical(LONG mode)
    {
        ResetAppState();
        app.searchAssistantMode = mode;
        const char *const values[AC_ROWS] = {"yes", "yes", "yes", "no\0", "no\0", "yes", "\x01\0\0"};
        for (int row = 0; row < AC_ROWS; row++) {
            CopyMemory(app.captured[row], values[row], 4);
            app.managed[row] = 1;
        }
    }
};

static const char kMainSection[] = "[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main]\n";
static const char kAcSection[] =
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoComplete]\n";
static const char kSaSection[] = "[HKEY_CURRENT_USER\\Software\\Microsoft\\Search Assistant]\n";
static const char kMainLines[] =
    "\"Use FormSuggest\"=\"yes\"\n\"FormSuggest Passwords\"=\"yes\"\n\"FormSuggest PW Ask\"=\"no\"\n";

TEST_F(BackupFile, TextFollowsModeAndFlags)
{
    struct Case {
        const char *what;
        LONG mode;
        std::vector<int> unmanaged;
        DWORD searchAssistant;
        std::string expected;
    };
    const Case cases[] = {
        {"mode 0", 0, {}, 1,
         std::string("REGEDIT4\n\n") + kMainSection + kMainLines + "\n" + kAcSection +
             "\"AutoSuggest\"=\"yes\"\n\"Use AutoComplete\"=\"yes\"\n\"Append Completion\"=\"no\"\n"},
        {"mode 1", 1, {}, 1,
         std::string("Windows Registry Editor Version 5.00\n\n") + kMainSection + kMainLines + "\n" +
             kAcSection + "\"AutoSuggest\"=\"yes\"\n\"Append Completion\"=\"no\"\n\n" + kSaSection +
             "\"AutoComplete\"=dword:00000001\n"},
        {"Main unmanaged", 0, {AC_USE_FORMSUGGEST, AC_FORMSUGGEST_PASSWORDS, AC_FORMSUGGEST_PW_ASK}, 1,
         std::string("REGEDIT4\n\n") + kMainSection + "\n" + kAcSection +
             "\"AutoSuggest\"=\"yes\"\n\"Use AutoComplete\"=\"yes\"\n\"Append Completion\"=\"no\"\n"},
        {"Search Assistant unmanaged", 1, {AC_AUTOCOMPLETE, AC_AUTOSUGGEST}, 1,
         std::string("Windows Registry Editor Version 5.00\n\n") + kMainSection + kMainLines + "\n" +
             kAcSection + "\"Append Completion\"=\"no\"\n"},
        {"value 10", 1, {}, 10,
         std::string("Windows Registry Editor Version 5.00\n\n") + kMainSection + kMainLines + "\n" +
             kAcSection + "\"AutoSuggest\"=\"yes\"\n\"Append Completion\"=\"no\"\n\n" + kSaSection +
             "\"AutoComplete\"=dword:0000000a\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Typical(c.mode);
        for (int row : c.unmanaged)
            app.managed[row] = 0;
        CopyMemory(app.captured[AC_AUTOCOMPLETE], &c.searchAssistant, 4);
        EXPECT_EQ(c.expected, BackupText());

        // The file holds exactly the text: no BOM, no CR, no NUL.
        DeleteFileA("AutoComplete.reg");
        EXPECT_EQ(1, WriteBackupRegFile());
        EXPECT_EQ(c.expected, ReadFileBytes("AutoComplete.reg"));
    }

    Typical(0);
    for (int row = 0; row < AC_ROWS; row++)
        CopyMemory(app.captured[row], "yes", 4);
    EXPECT_EQ(309u, BackupText().size());
}

// A field is text up to its first NUL or its fourth byte; quotes and
// backslashes are escaped as the registry editor writes them.
TEST_F(BackupFile, CapturedTextIsBoundedAndEscaped)
{
    struct Case {
        const char *field;
        const char *written;
    };
    const Case cases[] = {
        {"abcd", "abcd"},
        {"a\"b", "a\\\"b"},
        {"\"\"\\\\", "\\\"\\\"\\\\\\\\"},
        {"a\x83\x5C", "a\x83\x5C"},  // a double-byte character ending in 0x5C
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.written);
        Typical(0);
        CopyMemory(app.captured[AC_USE_AUTOCOMPLETE], c.field, 4);
        // The next bytes in memory: not part of the field.
        FillMemory(app.captured[AC_AUTOCOMPLETE], 4, 0xBD);
        std::string text = BackupText();
        EXPECT_NE(std::string::npos, text.find(std::string("\n\"Use AutoComplete\"=\"") + c.written + "\"\n"))
            << text;
        EXPECT_EQ(std::string::npos, text.find('\xBD'));
    }
}

// What the registry editor makes of the file is exactly the captured text.
TEST_F(BackupFile, ImportRestoresTheCapturedText)
{
    const char *const values[] = {"a\"b", "\\\0\0", "\"\\\0", "no\0", "\x83\x5C\0", "yes"};
    const int rows[] = {AC_USE_FORMSUGGEST, AC_FORMSUGGEST_PASSWORDS, AC_FORMSUGGEST_PW_ASK,
                        AC_APPEND_COMPLETION, AC_AUTOSUGGEST, AC_USE_AUTOCOMPLETE};
    Typical(0);
    for (int i = 0; i < 6; i++)
        CopyMemory(app.captured[rows[i]], values[i], 4);
    ASSERT_EQ(1, WriteBackupRegFile());

    // Imported below a scratch key of the machine, not over the user's own.
    char scratch[64];
    wsprintfA(scratch, "Software\\SorrelwickTests\\import-%lu", GetCurrentProcessId());
    std::string text = ReadFileBytes("AutoComplete.reg");
    const std::string from = "HKEY_CURRENT_USER\\Software\\Microsoft";
    for (size_t at; (at = text.find(from)) != std::string::npos;)
        text.replace(at, from.size(), std::string("HKEY_LOCAL_MACHINE\\") + scratch);
    std::string file = dir + "\\import.reg";
    WriteFileBytes(file, text);
    ASSERT_EQ(0u, RunAndWait("regedit.exe /s \"" + file + "\"", 30000));

    for (int i = 0; i < 6; i++) {
        std::string path = std::string(scratch) + (kAcValues[rows[i]].key == KEY_MAIN
                                                       ? "\\Internet Explorer\\Main"
                                                       : "\\Windows\\CurrentVersion\\Explorer\\AutoComplete");
        RegValue value = ReadValueUnder(HKEY_LOCAL_MACHINE, path.c_str(), kAcValues[rows[i]].name);
        EXPECT_TRUE(value.exists) << kAcValues[rows[i]].name;
        EXPECT_EQ((DWORD)REG_SZ, value.type);
        EXPECT_EQ(std::string(values[i]), std::string(value.bytes.begin(), value.bytes.end()).c_str());
    }
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, scratch);
}

TEST_F(BackupFile, OldFileMovesToTheLowestFreeNumber)
{
    struct Case {
        std::vector<std::string> before, after;
        const char *oldBecomes;
    };
    const Case cases[] = {
        {{}, {"AutoComplete.reg"}, NULL},
        {{"AutoComplete.reg", "AutoComplete1.reg"},
         {"AutoComplete.reg", "AutoComplete1.reg", "AutoComplete2.reg"},
         "AutoComplete2.reg"},
        {{"AutoComplete.reg", "AutoComplete2.reg"},
         {"AutoComplete.reg", "AutoComplete1.reg", "AutoComplete2.reg"},
         "AutoComplete1.reg"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.before.size());
        std::string caseDir = FreshTestDir();
        ScopedCurrentDir here(caseDir);
        for (const std::string &name : c.before)
            WriteFileBytes(name, "was " + name);
        Typical(1);
        EXPECT_EQ(1, WriteBackupRegFile());
        EXPECT_EQ(c.after, FilesIn(caseDir));
        EXPECT_EQ(BackupText(), ReadFileBytes("AutoComplete.reg"));
        if (c.oldBecomes != NULL) {
            EXPECT_EQ("was AutoComplete.reg", ReadFileBytes(c.oldBecomes));
        }
        for (const std::string &name : c.before) {
            if (name != "AutoComplete.reg") {
                EXPECT_EQ("was " + name, ReadFileBytes(name));
            }
        }
    }
}

static int searches;
static bool denyAllSearches;

// A folder that may not be listed: every search, or every search for a
// numbered name, is refused.
static HANDLE WINAPI RefusedSearch(LPCSTR name, LPWIN32_FIND_DATAA found)
{
    searches++;
    if (!denyAllSearches && lstrcmpA(name, "AutoComplete.reg") == 0)
        return FindFirstFileA(name, found);
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
}

TEST_F(BackupFile, UnsearchableFolderEndsTheNumberingAndKeepsTheOldFile)
{
    pFindFirstFileA = RefusedSearch;
    Typical(1);

    denyAllSearches = true;
    searches = 0;
    EXPECT_EQ(0, FindFreeBackupNumber());
    EXPECT_EQ(1, searches);
    // Nothing there to keep: the file is written all the same.
    EXPECT_EQ(1, WriteBackupRegFile());
    EXPECT_EQ(BackupText(), ReadFileBytes("AutoComplete.reg"));

    // An old file that cannot be moved aside is not overwritten.
    denyAllSearches = false;
    WriteFileBytes("AutoComplete.reg", "old backup");
    EXPECT_EQ(0, WriteBackupRegFile());
    EXPECT_EQ(std::vector<std::string>{"AutoComplete.reg"}, FilesIn(dir));
    EXPECT_EQ("old backup", ReadFileBytes("AutoComplete.reg"));
}

// A folder named AutoComplete.reg is not ours to move: no file can be made,
// that is not called a success, and the registry store is complete anyway.
TEST_F(BackupFile, FileThatCannotBeMadeLeavesTheStoreWhole)
{
    ASSERT_TRUE(CreateDirectoryA("AutoComplete.reg", NULL));
    Typical(1);
    app.Enable = 1;
    lstrcpyA(app.iePath, kDefaultIePath);
    EXPECT_EQ(0, WriteBackupRegFile());

    CreateConfigurationStore();
    ExpectValue(kProgramPath, "Enable", REG_DWORD, DwordBytes(1));
    ExpectValue(kProgramPath, "IEPath", REG_SZ, Bytes(kDefaultIePath, lstrlenA(kDefaultIePath)));
    ExpectValue(kBackupPath, "AutoComplete", REG_DWORD, DwordBytes(1));
    ExpectValue(kBackupPath, "FormSuggest PW Ask", REG_SZ, Field("no\0"));
    EXPECT_EQ(1, app.openSettingsAtStartup);
    EXPECT_EQ(std::vector<std::string>{"AutoComplete.reg"}, FilesIn(dir));
    EXPECT_NE(0u, GetFileAttributesA("AutoComplete.reg") & FILE_ATTRIBUTE_DIRECTORY);
    RemoveDirectoryA("AutoComplete.reg");
}
