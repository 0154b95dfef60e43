#include "settings/settings.h"
#include "shell/appstate.h"
#include "tests/support/registry_sandbox.h"

#include <string>
#include <vector>

class Capture : public AppTest {
protected:
    // Both value sets filled with guard bytes, so that any byte the capture
    // writes outside the field it reads shows.
    void Guard()
    {
        FillMemory(app.captured, sizeof(app.captured), 0xBD);
        FillMemory(app.configured, sizeof(app.configured), 0xBD);
    }
    std::vector<BYTE> CapturedOf(int row) { return Bytes((const char *)app.captured[row], 4); }
};

static const std::vector<BYTE> kGuard(4, 0xBD);

static const char kOpenErrorStart[] =
    "オリジナルのオートコンプリート設定レジストリがオープンできません。\n\nHKEY_CURRENT_USER\\";

TEST_F(Capture, TypicalValuesAreAllManaged)
{
    SeedTypicalIe();
    app.searchAssistantMode = 1;
    EXPECT_EQ(NULL, CaptureAutoCompleteValues());
    EXPECT_EQ(6, app.presentCount);
}

// A missing value is left alone from then on; nothing is reported while one
// of the six is still there.
TEST_F(Capture, MissingValueBecomesUnmanaged)
{
    const int rows[] = {AC_AUTOSUGGEST, AC_FORMSUGGEST_PW_ASK, AC_USE_AUTOCOMPLETE, AC_AUTOCOMPLETE};
    for (int missing : rows) {
        SCOPED_TRACE(kAcValues[missing].name);
        ResetAppState();
        SeedTypicalIe();
        DeleteValue(IePathOf(missing), kAcValues[missing].name);
        app.searchAssistantMode = missing == AC_USE_AUTOCOMPLETE ? 0 : 1;
        EXPECT_EQ(NULL, CaptureAutoCompleteValues());
        EXPECT_EQ(5, app.presentCount);
        for (int row = 0; row < AC_ROWS; row++)
            EXPECT_EQ(row == missing ? 0 : 1, app.managed[row]) << kAcValues[row].name;
    }
}

// Whatever type and size a value has, the capture takes at most its 4 bytes
// (a longer one counts as missing), and the fields around it keep their
// guard bytes. In Search Assistant mode Use AutoComplete, present, is not
// read either.
TEST_F(Capture, ValuesOfAnyTypeStayWithinTheirFourBytes)
{
    struct Case {
        DWORD type;
        const char *bytes;
        DWORD size;
        const char *expected;  // 4 bytes; "\xBD" where the field kept its byte
        bool present;
    };
    const Case cases[] = {
        {REG_SZ, "yes", 4, "yes\0", true},
        {REG_SZ, "no", 3, "no\0\xBD", true},  // the old fourth byte stays
        {REG_SZ, "abc", 3, "abc\xBD", true},   // no NUL of its own
        {REG_SZ, "abcd", 4, "abcd", true},
        {REG_SZ, "abcde", 6, "\xBD\xBD\xBD\xBD", false},
        {REG_DWORD, "\x01\0\0\0", 4, "\x01\0\0\0", true},
        {REG_BINARY, "\x07\x08", 2, "\x07\x08\xBD\xBD", true},
        {REG_BINARY, "\x01\x02\x03\x04\x05", 5, "\xBD\xBD\xBD\xBD", false},
        {REG_QWORD, "\x0A\0\0\0\0\0\0\0", 8, "\xBD\xBD\xBD\xBD", false},
    };
    // A string row between two missing ones, and the last row, after the
    // unread Use AutoComplete and before the first configured field.
    struct Target {
        LONG mode;
        int row, before, after;
    };
    const Target targets[] = {
        {0, AC_FORMSUGGEST_PASSWORDS, AC_USE_FORMSUGGEST, AC_FORMSUGGEST_PW_ASK},
        {1, AC_AUTOCOMPLETE, AC_USE_AUTOCOMPLETE, -1},
    };
    for (const Target &t : targets) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(kAcValues[t.row].name) + " <- " + std::to_string(c.type) + "/" +
                         std::to_string(c.size));
            ResetAppState();
            SeedTypicalIe();
            if (t.after >= 0) {
                DeleteValue(IePathOf(t.before), kAcValues[t.before].name);
                DeleteValue(IePathOf(t.after), kAcValues[t.after].name);
            }
            SetExactValue(IePathOf(t.row), kAcValues[t.row].name, c.type, c.bytes, c.size);
            app.searchAssistantMode = t.mode;
            Guard();

            EXPECT_EQ(NULL, CaptureAutoCompleteValues());
            EXPECT_EQ(Field(c.expected), CapturedOf(t.row));
            EXPECT_EQ(c.present ? 1 : 0, app.managed[t.row]);
            EXPECT_EQ(kGuard, CapturedOf(t.before));
            if (t.after >= 0) {
                EXPECT_EQ(kGuard, CapturedOf(t.after));
            }
            EXPECT_EQ(kGuard, Bytes((const char *)app.configured, 4));
        }
    }
}

TEST_F(Capture, NoValueAtAllIsFatal)
{
    for (LONG mode = 0; mode <= 1; mode++) {
        ResetAppState();
        SeedTypicalIe();
        for (int row = 0; row < AC_ROWS; row++)
            DeleteValue(IePathOf(row), kAcValues[row].name);
        // The other inline value is not one of the six.
        if (mode == 1)
            SetString(kAcPath, "Use AutoComplete", "yes");
        else
            SetDword(kSaPath, "AutoComplete", 1);
        app.searchAssistantMode = mode;
        const char *failure = CaptureAutoCompleteValues();
        ASSERT_NE((const char *)NULL, failure) << "mode " << mode;
        EXPECT_STREQ("該当レジストリが１つも存在しませんでした。", failure);
        EXPECT_EQ(0, app.presentCount);
    }
}

// The capture stops at the first key that does not open and names it; the
// keys after it are not read.
TEST_F(Capture, MissingKeyIsNamedAndEndsTheCapture)
{
    struct Case {
        LONG mode;
        const char *missing;
        bool fails, mainRead;
    };
    const Case cases[] = {
        {1, kAcPath, true, false}, {1, kMainPath, true, false}, {1, kSaPath, true, true},
        {0, kAcPath, true, false}, {0, kMainPath, true, false},
        {0, kSaPath, false, true},  // never opened outside Search Assistant mode
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.missing) + " mode " + std::to_string(c.mode));
        ResetAppState();
        SeedTypicalIe();
        DeleteTree(c.missing);
        app.searchAssistantMode = c.mode;
        Guard();

        const char *failure = CaptureAutoCompleteValues();
        if (c.fails) {
            EXPECT_EQ(app.openErrorText, failure);
            EXPECT_EQ(std::string(kOpenErrorStart) + c.missing + "\\", std::string(app.openErrorText));
        } else {
            EXPECT_EQ(NULL, failure);
            EXPECT_EQ(6, app.presentCount);
        }
        EXPECT_EQ(c.mainRead, CapturedOf(AC_USE_FORMSUGGEST) != kGuard);
        EXPECT_EQ(kGuard, CapturedOf(AC_AUTOCOMPLETE));  // last, or not at all
    }
}

TEST_F(Capture, SearchAssistantModeByPlatformAndVersion)
{
    struct Case {
        DWORD platform, major, minor;
        LONG mode;
    };
    const Case cases[] = {
        {VER_PLATFORM_WIN32_WINDOWS, 4, 10, 0}, {VER_PLATFORM_WIN32_WINDOWS, 5, 1, 0},
        {VER_PLATFORM_WIN32_NT, 4, 0, 0},       {VER_PLATFORM_WIN32_NT, 5, 0, 0},
        {VER_PLATFORM_WIN32_NT, 5, 1, 1},       {VER_PLATFORM_WIN32_NT, 5, 2, 1},
        {VER_PLATFORM_WIN32_NT, 6, 0, 1},       {VER_PLATFORM_WIN32_NT, 6, 1, 1},
        {VER_PLATFORM_WIN32_NT, 10, 0, 0},
    };
    for (const Case &c : cases) {
        OSVERSIONINFOA version;
        ZeroMemory(&version, sizeof(version));
        version.dwOSVersionInfoSize = sizeof(version);
        version.dwPlatformId = c.platform;
        version.dwMajorVersion = c.major;
        version.dwMinorVersion = c.minor;
        EXPECT_EQ(c.mode, SearchAssistantModeFor(&version))
            << "platform " << c.platform << " version " << c.major << "." << c.minor;
    }
}
