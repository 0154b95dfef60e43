// Hints come up under a resting mouse, over disabled boxes too, and wrap.
#include "tests/support/settings_dialog.h"

class SettingsHints : public SettingsDialog {
protected:
    // Rests the mouse on the tool window; the tooltip once it shows.
    HWND Hover(int toolWindow)
    {
        // A tip still up could lie over the next tool and take the mouse.
        for (const HintDef &hint : kHints)
            SendMessageA(HintTooltip(hint.toolWindow), TTM_POP, 0, 0);
        HWND tool = GetDlgItem(dialog, toolWindow);
        RECT rect;
        GetWindowRect(tool, &rect);
        SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        HWND tip = HintTooltip(toolWindow);
        // One move, then rest: each further move would restart the delay.
        SendMessageA(tool, WM_MOUSEMOVE, 0, MAKELPARAM((rect.right - rect.left) / 2, (rect.bottom - rect.top) / 2));
        return WaitForWindow([tip]() -> HWND { return IsWindowVisible(tip) ? tip : NULL; },
            3000);
    }
};

TEST_F(SettingsHints, ShowOverADisabledBoxAndWrapTwoLineTexts)
{
    DeleteValue(kAcPath, "AutoSuggest");
    Open();
    // In-process tests running beside this one centre their dialogs on the
    // same screen: keep the resting mouse clear of them.
    SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
    ASSERT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1005)));
    HWND missing = Hover(1034);
    ASSERT_NE(HWND(NULL), missing) << "no hint over the disabled box";
    RECT oneLine;
    GetWindowRect(missing, &oneLine);

    HWND captured = Hover(1040);  // "...「ON」です。\nここは変更できません。"
    ASSERT_NE(HWND(NULL), captured);
    RECT twoLines;
    GetWindowRect(captured, &twoLines);
    EXPECT_GT(twoLines.bottom - twoLines.top, (oneLine.bottom - oneLine.top) * 3 / 2);
    for (const RECT &r : {oneLine, twoLines})
        EXPECT_LE(r.right - r.left, 400 + 16);

    // The box with an empty hint shows none.
    SetHintText(1039, "");
    EXPECT_EQ(HWND(NULL), Hover(1039));
}
