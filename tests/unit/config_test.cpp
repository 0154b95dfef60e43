#include "settings/settings.h"
#include "shell/appstate.h"
#include "shell/seams.h"
#include "shell/tray.h"
#include "tests/support/app_in_dir.h"

#include <string>
#include <vector>

// Creating the store also writes AutoComplete.reg into the current
// directory, so every test runs in a folder of its own.
class Store : public AppTestInDir {
protected:
    void StartUp(LONG mode)
    {
        app.searchAssistantMode = mode;
        ASSERT_EQ(NULL, CaptureAutoCompleteValues());
        CopyCapturedToConfigured();
        LoadConfiguration();
    }
};

static DWORD ValueCount(const char *path)
{
    HKEY key;
    DWORD count = 0;
    if (RegOpenKeyA(HKEY_CURRENT_USER, path, &key) != ERROR_SUCCESS)
        return 0;
    RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, &count, NULL, NULL, NULL, NULL);
    RegCloseKey(key);
    return count;
}

static const char kDefaultPath[] = "C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE";

TEST_F(Store, FirstRunLayout)
{
    struct Case {
        LONG mode;
        const char *missing;  // an Internet Explorer value absent at start-up
        bool makerKeyExists;  // with another program's key below it
    };
    const Case cases[] = {{0, NULL, false}, {1, NULL, true}, {1, "FormSuggest PW Ask", false}};
    for (const Case &c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + (c.missing ? std::string(" without ") + c.missing : ""));
        ResetAppState();
        DeleteTree(kMakerPath);
        DeleteFileA("AutoComplete.reg");
        SeedTypicalIe();
        if (c.missing != NULL)
            DeleteValue(kMainPath, c.missing);
        if (c.makerKeyExists)
            SetDword("Software\\Tarrow\\Other", "Kept", 1);
        StartUp(c.mode);

        EXPECT_EQ(1, app.openSettingsAtStartup);
        LONG present = c.missing ? 5 : 6;
        const struct {
            const char *name;
            LONG value;
        } dwords[] = {{"ExitAction", 0}, {"Enable", 0},  {"ExitType", 0},           {"KillIE", 0},
                      {"StartIE", 0},    {"EndIE", 0},   {"CompleteCount", present}};
        for (const auto &d : dwords)
            ExpectValue(kProgramPath, d.name, REG_DWORD, DwordBytes(d.value));
        ExpectValue(kProgramPath, "IEPath", REG_SZ, Bytes(kDefaultPath, 47));

        // Configured (a copy of the captured) and captured values alike.
        const char *const values[AC_ROWS] = {"yes", "yes", "yes", "no\0", "no\0", "yes", "\x01\0\0"};
        const char *const paths[] = {kProgramPath, kBackupPath};
        for (const char *path : paths) {
            for (int row = 0; row < AC_ROWS; row++) {
                if (TakesPart(row) && (c.missing == NULL || strcmp(c.missing, kAcValues[row].name) != 0))
                    ExpectValue(path, kAcValues[row].name, kAcValues[row].type, Field(values[row]));
                else
                    EXPECT_FALSE(ReadValue(path, kAcValues[row].name).exists) << kAcValues[row].name;
            }
        }
        EXPECT_EQ(9u + present, ValueCount(kProgramPath));  // and the run's RunCaptured
        EXPECT_EQ((DWORD)present, ValueCount(kBackupPath));
        EXPECT_EQ(std::vector<std::string>{"AutoComplete.reg"}, FilesIn(dir));
        EXPECT_EQ(BackupText(), ReadFileBytes("AutoComplete.reg"));
        if (c.makerKeyExists) {
            ExpectValue("Software\\Tarrow\\Other", "Kept", REG_DWORD, DwordBytes(1));
        }
    }
}

// A store holding only Enable: every other value takes its default, the
// count is taken as current and nothing is rewritten.
TEST_F(Store, MissingValuesTakeTheirDefaults)
{
    for (LONG mode = 0; mode <= 1; mode++) {
        ResetAppState();
        DeleteTree(kMakerPath);
        SeedTypicalIe();
        SetDword(kProgramPath, "Enable", 1);
        app.ExitAction = app.ExitType = app.KillIE = app.StartIE = app.EndIE = 5;
        StartUp(mode);

        EXPECT_EQ(1, app.Enable);
        LONG *const zeroes[] = {&app.ExitAction, &app.ExitType, &app.KillIE, &app.StartIE, &app.EndIE};
        for (LONG *field : zeroes)
            EXPECT_EQ(0, *field);
        EXPECT_STREQ(kDefaultPath, app.iePath);
        EXPECT_EQ(6, app.CompleteCount);
        for (int row = 0; row < AC_ROWS; row++) {
            if (TakesPart(row)) {
                EXPECT_EQ(Field(kAcValues[row].type == REG_SZ ? "no\0" : "\0\0\0"),
                          Bytes((const char *)app.configured[row], 4))
                    << kAcValues[row].name;
            }
        }
        EXPECT_EQ(0, app.openSettingsAtStartup);
        EXPECT_EQ(2u, ValueCount(kProgramPath));  // Enable, and the run's RunCaptured
        EXPECT_FALSE(KeyExists(kBackupPath));
        EXPECT_TRUE(FilesIn(dir).empty());
    }
}

// A stored configured value replaces the copy whole; one that cannot be
// read as 4 bytes loads as "no" (or 0).
TEST_F(Store, StoredConfiguredValuesReplaceTheCopy)
{
    struct Case {
        int row;
        DWORD type;
        const char *bytes;  // null: not stored
        DWORD size;
        const char *loaded;
    };
    const Case cases[] = {
        {AC_AUTOSUGGEST, REG_SZ, "yes", 4, "yes"},
        {AC_USE_FORMSUGGEST, REG_SZ, "nopes", 6, "no\0"},
        {AC_FORMSUGGEST_PASSWORDS, REG_SZ, "no", 3, "no\0"},
        {AC_FORMSUGGEST_PW_ASK, REG_DWORD, "yes", 4, "yes"},
        {AC_APPEND_COMPLETION, REG_SZ, NULL, 0, "no\0"},
        {AC_AUTOCOMPLETE, REG_SZ, "abcdefgh", 9, "\0\0\0"},
    };
    SeedTypicalIe();
    SetDword(kProgramPath, "CompleteCount", 6);
    for (const Case &c : cases) {
        if (c.bytes != NULL)
            SetExactValue(kProgramPath, kAcValues[c.row].name, c.type, c.bytes, c.size);
    }
    SetString(kProgramPath, "Use AutoComplete", "yes");  // not read in this mode
    app.searchAssistantMode = 1;
    ASSERT_EQ(NULL, CaptureAutoCompleteValues());
    FillMemory(app.configured, sizeof(app.configured), 0xBD);
    LoadConfiguration();
    for (const Case &c : cases)
        EXPECT_EQ(Field(c.loaded), Bytes((const char *)app.configured[c.row], 4)) << kAcValues[c.row].name;
    EXPECT_EQ(std::vector<BYTE>(4, 0xBD), Bytes((const char *)app.configured[AC_USE_AUTOCOMPLETE], 4));
}

// IEPath is stored without its NUL and read back whole up to 1023 bytes;
// a longer one cannot be held with its NUL and gives the default.
TEST_F(Store, IePathRoundTrip)
{
    const size_t lengths[] = {10, 47, 200, 1022, 1023, 1024, 1500};
    for (size_t length : lengths) {
        SCOPED_TRACE(length);
        std::string path = "C:\\";
        for (size_t i = path.size(); i < length; i++)
            path += (char)('a' + i % 26);
        ResetAppState();
        DeleteTree(kMakerPath);
        SeedTypicalIe();
        StartUp(1);
        if (length < IEPATH_SIZE) {
            lstrcpyA(app.iePath, path.c_str());
            WriteProgramKey();
            ExpectValue(kProgramPath, "IEPath", REG_SZ, Bytes(path.data(), length));
        } else {
            SetExactValue(kProgramPath, "IEPath", REG_SZ, path.data(), (DWORD)length);
        }

        ResetAppState();
        app.openSettingsAtStartup = 0;
        StartUp(1);
        EXPECT_EQ(length < IEPATH_SIZE ? path : std::string(kDefaultPath), std::string(app.iePath));
        EXPECT_EQ(0, app.openSettingsAtStartup);
    }
}

// One value has gone since the store was made: the store is made again
// from the settings just loaded and this start's capture, and the old
// backup file is kept under a number.
TEST_F(Store, ChangedCountRebuildsTheStore)
{
    SeedTypicalIe();
    DeleteValue(kAcPath, "AutoSuggest");
    const struct {
        const char *name;
        LONG value;
    } settings[] = {{"ExitAction", 1}, {"Enable", 1}, {"ExitType", 2},      {"KillIE", 1},
                    {"StartIE", 1},    {"EndIE", 1},  {"CompleteCount", 6}};
    for (const auto &s : settings)
        SetDword(kProgramPath, s.name, s.value);
    const char iePath[] = "D:\\IE\\iexplore.exe -k";
    SetExactValue(kProgramPath, "IEPath", REG_SZ, iePath, sizeof(iePath) - 1);
    const char *const configured[AC_ROWS] = {"no\0", "no\0", "no\0", "yes", "yes", "no\0", NULL};
    for (int row = 0; row < AC_AUTOCOMPLETE; row++)
        SetExactValue(kProgramPath, kAcValues[row].name, REG_SZ, configured[row], 4);
    SetDword(kProgramPath, "AutoComplete", 0);
    SetString(kBackupPath, "AutoSuggest", "yes");
    SetString(kBackupPath, "Stale", "yes");
    WriteFileBytes("AutoComplete.reg", "old backup");

    StartUp(1);

    EXPECT_EQ(5, app.presentCount);
    EXPECT_EQ(1, app.openSettingsAtStartup);
    for (const auto &s : settings)
        ExpectValue(kProgramPath, s.name, REG_DWORD, DwordBytes(strcmp(s.name, "CompleteCount") ? s.value : 5));
    ExpectValue(kProgramPath, "IEPath", REG_SZ, Bytes(iePath, sizeof(iePath) - 1));
    for (int row = AC_USE_FORMSUGGEST; row <= AC_APPEND_COMPLETION; row++) {
        ExpectValue(kProgramPath, kAcValues[row].name, REG_SZ, Field(configured[row]));
        ExpectValue(kBackupPath, kAcValues[row].name, REG_SZ, Bytes((const char *)app.captured[row], 4));
    }
    ExpectValue(kProgramPath, "AutoComplete", REG_DWORD, DwordBytes(0));
    ExpectValue(kBackupPath, "AutoComplete", REG_DWORD, DwordBytes(1));
    EXPECT_FALSE(ReadValue(kProgramPath, "AutoSuggest").exists);
    EXPECT_FALSE(ReadValue(kProgramPath, "Use AutoComplete").exists);
    EXPECT_EQ(5u, ValueCount(kBackupPath));  // neither AutoSuggest nor Stale

    EXPECT_EQ((std::vector<std::string>{"AutoComplete.reg", "AutoComplete1.reg"}), FilesIn(dir));
    EXPECT_EQ("old backup", ReadFileBytes("AutoComplete1.reg"));
    EXPECT_EQ(BackupText(), ReadFileBytes("AutoComplete.reg"));
}

static RegValue journalAtFileWrite;
static HANDLE WINAPI NoteJournal(LPCSTR name, LPWIN32_FIND_DATAA found)
{
    journalAtFileWrite = ReadValue(kProgramPath, "RunCaptured");
    return FindFirstFileA(name, found);
}

// Runs ended by force: L after the load, R while a rebuilding load writes its
// file, N once ON is applied (T: the journal in its first form), S once an OFF
// stored Enable 0, F after a whole OFF; H: a hand edit, to a string and the
// DWORD, between runs. A whole run then gives the user's values.
TEST_F(Store, AForcedEndAtAnyMomentLeavesTheUsersValuesToTheNextStart)
{
    for (std::string runs : {"NR", "SL", "FF", "T", "NH"}) {
        SCOPED_TRACE(runs);
        DeleteTree(kMakerPath);
        SeedTypicalIe();
        SetDword(kProgramPath, "Enable", 1);  // every configured value "no" (0)
        SetDword(kProgramPath, "CompleteCount", 6);
        for (char stop : runs + "E") {
            if (stop == 'H') {  // neither "yes" nor "no": unlike both the user's and the configured value
                SetString(kAcPath, "AutoSuggest", "Yes");
                SetDword(kSaPath, "AutoComplete", 2);
                continue;
            }
            ResetAppState();
            if (stop == 'E' && runs == "FF")  // by hand after a whole OFF: it stands
                SetString(kAcPath, "AutoSuggest", "no");
            SetDword(kProgramPath, "CompleteCount", stop == 'R' ? 5 : 6);
            pFindFirstFileA = stop == 'R' ? NoteJournal : FindFirstFileA;
            StartUp(1);
            if (stop != 'L' && stop != 'R')
                ApplyValues(1);
            if (stop == 'T') {  // 32 bytes: no mark, the stored ON stands for it
                journalAtFileWrite = ReadValue(kProgramPath, "RunCaptured");
                journalAtFileWrite.bytes.resize(32);
            }
            if (stop == 'R' || stop == 'T')  // the journal as the end left it; none has no right length
                SetValue(kProgramPath, "RunCaptured", REG_BINARY, journalAtFileWrite.bytes.data(), (DWORD)journalAtFileWrite.bytes.size());
            if (stop == 'S' || stop == 'F' || stop == 'E')
                SetOnOffState(0);
            if (stop == 'F' || stop == 'E')
                ApplyValues(1);
        }
        ApplyValues(0);
        const char *const user[AC_ROWS] = {runs == "FF" ? "no\0" : runs == "NH" ? "Yes" : "yes", "yes", "yes", "no\0", "no\0", "yes",
                                           runs == "NH" ? "\x02\0\0" : "\x01\0\0"};
        for (int row = 0; row < AC_ROWS; row++)
            ExpectValue(IePathOf(row), kAcValues[row].name, kAcValues[row].type, Field(user[row]));
    }
}
