#include "settings/settings.h"
#include "shell/appstate.h"
#include "tests/support/registry_sandbox.h"

#include <string>
#include <vector>

// Captured: the typical installation. Configured: every value the opposite,
// so that each written value shows which set it came from.
class Apply : public AppTest {
protected:
    void Prepare(LONG mode)
    {
        ResetAppState();
        DeleteTree(kAcPath);
        DeleteTree(kMainPath);
        DeleteTree(kSaPath);
        SeedTypicalIe();
        app.searchAssistantMode = mode;
        ASSERT_EQ(NULL, CaptureAutoCompleteValues());
        const char *const configured[AC_ROWS] = {"no\0", "no\0", "no\0", "yes", "yes", "no\0", "\0\0\0"};
        for (int row = 0; row < AC_ROWS; row++)
            CopyMemory(app.configured[row], configured[row], 4);
        // Something else in every value, so that a skipped write shows.
        for (int row = 0; row < AC_ROWS; row++) {
            if (kAcValues[row].type == REG_SZ)
                SetString(IePathOf(row), kAcValues[row].name, "old");
            else
                SetDword(IePathOf(row), kAcValues[row].name, 7);
        }
    }
    // All seven values as they are in the registry.
    std::vector<RegValue> Snapshot()
    {
        std::vector<RegValue> values;
        for (int row = 0; row < AC_ROWS; row++)
            values.push_back(ReadValue(IePathOf(row), kAcValues[row].name));
        return values;
    }
    void ExpectSetWritten(BYTE (*set)[4])
    {
        for (int row = 0; row < AC_ROWS; row++) {
            if (TakesPart(row))
                ExpectValue(IePathOf(row), kAcValues[row].name, kAcValues[row].type,
                            Bytes((const char *)set[row], 4));
        }
    }
};

TEST_F(Apply, DecidingSettingChoosesTheSet)
{
    struct Case {
        LONG selector, Enable, ExitAction;
        bool configured;
    };
    const Case cases[] = {
        {1, 1, 0, true},  {1, 0, 1, false}, {1, 2, 1, false},  // only 1 counts as set
        {0, 0, 1, true},  {0, 1, 0, false}, {2, 1, 1, true},   // any other selector: ExitAction
        {2, 1, 0, false},
    };
    for (LONG mode = 0; mode <= 1; mode++) {
        for (const Case &c : cases) {
            SCOPED_TRACE("mode " + std::to_string(mode) + " selector " + std::to_string(c.selector) +
                         " Enable " + std::to_string(c.Enable) + " ExitAction " + std::to_string(c.ExitAction));
            Prepare(mode);
            app.Enable = c.Enable;
            app.ExitAction = c.ExitAction;
            ApplyValues(c.selector);
            ExpectSetWritten(c.configured ? app.configured : app.captured);
            // The value of the other mode is never written.
            int other = mode == 1 ? AC_USE_AUTOCOMPLETE : AC_AUTOCOMPLETE;
            if (kAcValues[other].type == REG_SZ)
                ExpectValue(IePathOf(other), kAcValues[other].name, REG_SZ, Bytes("old", 4));
            else
                ExpectValue(IePathOf(other), kAcValues[other].name, REG_DWORD, DwordBytes(7));
        }
    }
}

TEST_F(Apply, ValuesGoOutAsFourBytes)
{
    Prepare(1);
    app.Enable = 1;
    ApplyValues(1);
    ExpectValue(kAcPath, "AutoSuggest", REG_SZ, {0x6E, 0x6F, 0x00, 0x00});
    ExpectValue(kMainPath, "FormSuggest PW Ask", REG_SZ, {0x79, 0x65, 0x73, 0x00});
    ExpectValue(kSaPath, "AutoComplete", REG_DWORD, DwordBytes(0));
    // A 3-byte "no" at start-up goes back as 4 bytes.
    app.Enable = 0;
    ApplyValues(1);
    ExpectValue(kAcPath, "Append Completion", REG_SZ, Field("no\0"));
    ExpectValue(kSaPath, "AutoComplete", REG_DWORD, DwordBytes(1));

    // Four bytes without a NUL stay four bytes even when a NUL follows the
    // field in memory, so the next start still finds the value.
    SetExactValue(kAcPath, "Append Completion", REG_SZ, "abcd", 4);
    ResetAppState();
    app.searchAssistantMode = 1;
    ASSERT_EQ(NULL, CaptureAutoCompleteValues());
    ASSERT_EQ(0, app.captured[AC_APPEND_COMPLETION + 1][0]);
    ApplyValues(1);
    ExpectValue(kAcPath, "Append Completion", REG_SZ, Field("abcd"));
}

// A value missing at start-up stays missing and one too long stays as it
// is, in either state.
TEST_F(Apply, UnmanagedValuesAreNeverTouched)
{
    for (LONG enable = 0; enable <= 1; enable++) {
        Prepare(1);
        DeleteValue(kAcPath, "AutoSuggest");
        SetString(kMainPath, "Use FormSuggest", "nicht");
        DeleteValue(kSaPath, "AutoComplete");
        ResetAppState();
        app.searchAssistantMode = 1;
        ASSERT_EQ(NULL, CaptureAutoCompleteValues());
        for (int row = 0; row < AC_ROWS; row++)
            CopyMemory(app.configured[row], "yes", 4);
        app.Enable = enable;
        ApplyValues(1);
        EXPECT_FALSE(ReadValue(kAcPath, "AutoSuggest").exists);
        EXPECT_FALSE(ReadValue(kSaPath, "AutoComplete").exists);
        ExpectValue(kMainPath, "Use FormSuggest", REG_SZ, Bytes("nicht", 6));
        ExpectValue(kMainPath, "FormSuggest Passwords", REG_SZ, Field(enable ? "yes" : "old"));
    }
}

TEST_F(Apply, KeyThatDoesNotOpenSkipsOnlyItsOwnValues)
{
    const char *const keys[] = {kAcPath, kMainPath, kSaPath};
    for (const char *missing : keys) {
        SCOPED_TRACE(missing);
        Prepare(1);
        DeleteTree(missing);
        app.Enable = 1;
        ApplyValues(1);
        EXPECT_FALSE(KeyExists(missing));
        for (int row = 0; row < AC_ROWS; row++) {
            if (TakesPart(row) && IePathOf(row) != missing)
                ExpectValue(IePathOf(row), kAcValues[row].name, kAcValues[row].type,
                            Bytes((const char *)app.configured[row], 4));
        }
    }
}

TEST_F(Apply, NothingIsWrittenOnceTheSettingsAreRemoved)
{
    for (LONG selector = 0; selector <= 1; selector++) {
        Prepare(0);
        app.Enable = 1;
        app.ExitAction = 1;
        app.settingsRemoved = 1;
        std::vector<RegValue> before = Snapshot();
        ApplyValues(selector);
        EXPECT_TRUE(before == Snapshot()) << "selector " << selector;
    }
}
