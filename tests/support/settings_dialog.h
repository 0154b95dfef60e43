// The real settings dialog, created in-process from the product's template
// over a scratch HKEY_CURRENT_USER, beside a main window of the test's own
// class and a fake shell. Header only.
#ifndef SORRELWICK_TESTS_SETTINGS_DIALOG_H
#define SORRELWICK_TESTS_SETTINGS_DIALOG_H

#include "dialog/dialog.h"
#include "settings/settings.h"
#include "shell/appstate.h"
#include "shell/mainwnd.h"
#include "shell/seams.h"
#include "shell/tray.h"

#include <commctrl.h>
#include <stddef.h>

#include <string>

#include "tests/support/registry_sandbox.h"
#include "tests/support/tray_fake.h"
#include "tests/support/wine_windows.h"

inline int helpRequests;
inline BOOL WINAPI CountingWinHelp(HWND, LPCSTR, UINT, ULONG_PTR)
{
    helpRequests++;
    return TRUE;
}

class SettingsDialog : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        UseFakeShell();
        pWinHelpA = CountingWinHelp;
        helpRequests = 0;
        app.instance = ProductResources();
        app.settingsDialogEnabled = 1;
        SeedTypicalIe();
        SetDword(kProgramPath, "Enable", 0);  // a store exists
        RegisterTestClass("SorrelwickUnderTest", MainWindowProc);
        app.mainWindow = CreateWindowExA(0, "SorrelwickUnderTest", "Sorrelwick", WS_POPUP, 0, 0, 0, 0,
                                         NULL, NULL, GetModuleHandleA(NULL), NULL);
        lstrcpyA(app.iePath, kDefaultIePath);
    }
    void TearDown() override
    {
        if (app.settingsDialog != NULL)
            DestroyWindow(app.settingsDialog);
        DeleteTrayIcon();
        DestroyWindow(app.mainWindow);
        TakeQuitRequest();
        AppTest::TearDown();
    }
    // Captures what the registry holds now and opens the dialog on it.
    HWND Open(LONG searchAssistantMode = 1)
    {
        app.searchAssistantMode = searchAssistantMode;
        EXPECT_EQ(NULL, CaptureAutoCompleteValues());
        CopyCapturedToConfigured();
        OpenSettingsDialog();
        dialog = app.settingsDialog;
        return dialog;
    }
    void Command(int id) { SendMessageA(dialog, WM_COMMAND, id, 0); }
    bool Enabled(int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
    bool Checked(int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
    // The text that the hint on this tool window would show.
    std::string Hint(int toolWindow)
    {
        char text[1024] = "";
        TOOLINFOA tool;
        ZeroMemory(&tool, sizeof(tool));
        tool.cbSize = offsetof(TOOLINFOA, lParam) + sizeof(LPARAM);
        tool.hwnd = GetDlgItem(dialog, toolWindow);
        tool.lpszText = text;
        SendMessageA(HintTooltip(toolWindow), TTM_GETTEXTA, sizeof(text), (LPARAM)&tool);
        return text;
    }

    HWND dialog = NULL;
};

#endif
