// The settings dialog: what it shows when it opens, its window-level
// behaviour, and enabling or disabling it as a whole.
#include "about/about.h"
#include "dialog/dialog.h"
#include "dialog/rows.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "shell/appstate.h"
#include "shell/tray.h"

static const char kExplorerLabelSearchAssistant[] =
    "ｴｸｽﾌﾟﾛｰﾗ（検索ｺﾝﾊﾟﾆｵﾝ）のｵｰﾄｺﾝﾌﾟﾘｰﾄを使用する(&J)         ";
static const char kExplorerLabel[] = "エクスプローラのインラインオートコンプリートを使用する(&J)";

const DialogRow kRows[DIALOG_ROWS] = {
    {IDC_WEB_ADDRESSES, IDC_WEB_ADDRESSES_HINT, IDC_WEB_ADDRESSES_CAPTURED, IDC_WEB_ADDRESSES_CAPTURED_HINT,
     AC_AUTOSUGGEST},
    {IDC_FORMS, IDC_FORMS_HINT, IDC_FORMS_CAPTURED, IDC_FORMS_CAPTURED_HINT, AC_USE_FORMSUGGEST},
    {IDC_PASSWORDS, IDC_PASSWORDS_HINT, IDC_PASSWORDS_CAPTURED, IDC_PASSWORDS_CAPTURED_HINT,
     AC_FORMSUGGEST_PASSWORDS},
    {IDC_PW_ASK, IDC_PW_ASK_HINT, IDC_PW_ASK_CAPTURED, IDC_PW_ASK_CAPTURED_HINT, AC_FORMSUGGEST_PW_ASK},
    {IDC_INLINE_WEB, IDC_INLINE_WEB_HINT, IDC_INLINE_WEB_CAPTURED, IDC_INLINE_WEB_CAPTURED_HINT,
     AC_APPEND_COMPLETION},
    {IDC_INLINE_EXPLORER, IDC_INLINE_EXPLORER_HINT, IDC_INLINE_EXPLORER_CAPTURED,
     IDC_INLINE_EXPLORER_CAPTURED_HINT, AC_USE_AUTOCOMPLETE},
};

// The order in which the boxes and the indicators are set at opening: the
// password row last, since it may disable the prompt row.
static const int kInitOrder[DIALOG_ROWS] = {
    ROW_PROMPT, ROW_WEB, ROW_INLINE, ROW_EXPLORER, ROW_FORMS, ROW_PASSWORD,
};

int RowValue(int row)
{
    if (row == ROW_EXPLORER && app.searchAssistantMode == 1)
        return AC_AUTOCOMPLETE;
    return kRows[row].value;
}

int RowAvailable(int row)
{
    return app.managed[RowValue(row)] == 1;
}

int FieldIsOn(int value, const BYTE *field)
{
    if (kAcValues[value].type == REG_DWORD) {
        DWORD number;
        CopyMemory(&number, field, 4);
        return number == 1;
    }
    return IsYes(field);
}

void OpenSettingsDialog()
{
    if (app.settingsDialog != NULL)
        return;
    app.settingsDialog = CreateDialogParamA(app.instance, "IDC_SORRELWICK", app.mainWindow,
                                            SettingsDialogProc, (LPARAM)app.mainWindow);
}

static void Check(HWND dialog, int id, int on)
{
    CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

static void EnableControl(HWND dialog, int id, BOOL enable)
{
    EnableWindow(GetDlgItem(dialog, id), enable);
}

// Why a row cannot be changed, or null when it can: its value was missing
// at start-up, or the prompt row's password row was.
static const char *UnavailableHint(int row)
{
    if (row == ROW_PROMPT && app.managed[AC_FORMSUGGEST_PW_ASK] == 1
        && app.managed[AC_FORMSUGGEST_PASSWORDS] != 1)
        return kHintAboveMissing;
    return RowAvailable(row) ? NULL : kHintMissing;
}

// The prompt row can be changed only while its password row is ticked; the
// two hints say so.
void SetPromptRowState(HWND dialog, int passwordsOn)
{
    if (app.managed[AC_FORMSUGGEST_PW_ASK] == 1) {
        EnableControl(dialog, kRows[ROW_PROMPT].box, passwordsOn);
        SetHintText(kRows[ROW_PROMPT].overlay,
                    passwordsOn ? kHintUntickAboveToDisable : kHintTickAboveToEnable);
    }
    SetHintText(kRows[ROW_PASSWORD].overlay,
                passwordsOn ? kHintUntickDisablesBelow : kHintTickEnablesBelow);
}

static void ShowConfiguredBox(HWND dialog, int row)
{
    const DialogRow &r = kRows[row];
    const char *unavailable = UnavailableHint(row);
    if (unavailable != NULL) {
        EnableControl(dialog, r.box, FALSE);
        SetHintText(r.overlay, unavailable);
        return;
    }
    int on = FieldIsOn(RowValue(row), app.configured[RowValue(row)]);
    if (on)
        Check(dialog, r.box, 1);
    if (row == ROW_PASSWORD)
        SetPromptRowState(dialog, on);
}

static void ShowCapturedIndicator(HWND dialog, int row)
{
    const DialogRow &r = kRows[row];
    const char *unavailable = UnavailableHint(row);
    if (unavailable != NULL) {
        EnableControl(dialog, r.indicator, FALSE);
        SetHintText(r.indicatorOverlay, unavailable);
    } else if (FieldIsOn(RowValue(row), app.captured[RowValue(row)])) {
        Check(dialog, r.indicator, 1);
        SetHintText(r.indicatorOverlay, kHintCapturedOn);
    }
}

static void AddSystemMenuItems(HWND dialog)
{
    HMENU menu = GetSystemMenu(dialog, FALSE);
    InsertMenuA(menu, 0, MF_BYPOSITION | MF_STRING, IDM_SYSTEM_HELP, "ヘルプ (&H)");
    InsertMenuA(menu, 1, MF_BYPOSITION | MF_SEPARATOR, 0, NULL);
    InsertMenuA(menu, 2, MF_BYPOSITION | MF_STRING, IDM_ABOUT_BOX, "ﾊﾞｰｼﾞｮﾝ情報 (&V)");
    InsertMenuA(menu, 3, MF_BYPOSITION | MF_SEPARATOR, 0, NULL);
    DrawMenuBar(dialog);
}

static void InitSettingsDialog(HWND dialog)
{
    SendMessageA(dialog, WM_SETICON, ICON_SMALL,
                 (LPARAM)LoadIconA(app.instance, MAKEINTRESOURCEA(IDI_APP)));
    AddSystemMenuItems(dialog);
    CreateHints(dialog, app.instance);
    SetOnOffState(app.Enable);
    SetDlgItemTextA(dialog, IDC_INLINE_EXPLORER,
                    app.searchAssistantMode == 1 ? kExplorerLabelSearchAssistant : kExplorerLabel);

    Check(dialog, IDC_KILL_IE_AT_START, app.KillIE == 1);
    Check(dialog, IDC_START_IE, app.StartIE == 1);
    Check(dialog, IDC_KILL_IE_AT_EXIT, app.EndIE == 1);
    SetDlgItemTextA(dialog, IDC_IE_PATH, app.iePath);
    if (app.StartIE != 1)
        EnableControl(dialog, IDC_IE_PATH, FALSE);

    if (app.ExitType >= 0 && app.ExitType <= 2)
        CheckRadioButton(dialog, IDC_EXIT_NEVER, IDC_EXIT_WHEN_IE_GONE, IDC_EXIT_NEVER + app.ExitType);
    CheckRadioButton(dialog, IDC_STATE_ON, IDC_STATE_OFF, app.Enable == 1 ? IDC_STATE_ON : IDC_STATE_OFF);
    for (int i = 0; i < DIALOG_ROWS; i++)
        ShowConfiguredBox(dialog, kInitOrder[i]);
    for (int i = 0; i < DIALOG_ROWS; i++)
        ShowCapturedIndicator(dialog, kInitOrder[i]);
    CheckRadioButton(dialog, IDC_AT_EXIT_RESTORE_ORIGINAL, IDC_AT_EXIT_APPLY_CONFIGURED,
                     app.ExitAction == 0 ? IDC_AT_EXIT_RESTORE_ORIGINAL : IDC_AT_EXIT_APPLY_CONFIGURED);

    GetWindowRect(dialog, &app.settingsInitialRect);
}

static void DestroyAboutBox()
{
    if (app.aboutDialog != NULL) {
        DestroyWindow(app.aboutDialog);
        app.aboutDialog = NULL;
    }
}

void CloseSettingsDialog(HWND dialog)
{
    RemoveAllHints();
    DestroyAboutBox();
    DestroyWindow(dialog);
    app.settingsDialog = NULL;
}

void SetSettingsDialogEnabled(HWND dialog, LONG enable)
{
    static const int kFrames[] = {
        IDC_AUTOEXIT_GROUP, IDC_STARTUP_GROUP, IDC_AT_EXIT_GROUP, IDC_IE_CONTROL_GROUP,
        IDC_EXIT_NEVER, IDC_EXIT_ON_HANGUP, IDC_EXIT_WHEN_IE_GONE, IDC_STATE_ON, IDC_STATE_OFF,
        IDC_KILL_IE_AT_START, IDC_START_IE, IDC_KILL_IE_AT_EXIT,
    };
    for (int id : kFrames)
        EnableControl(dialog, id, enable);
    EnableControl(dialog, IDC_IE_PATH, enable == 1 && app.StartIE == 1);
    // A row that was disabled before (a missing value, the prompt row while
    // its password row is clear) must come back disabled.
    for (int i = 0; i < HINT_COUNT; i++) {
        if (kHints[i].control == IDC_DELETE_BUTTON)
            continue;
        HWND control = GetDlgItem(dialog, kHints[i].control);
        if (enable == 1) {
            EnableWindow(control, app.savedEnable[i]);
        } else {
            app.savedEnable[i] = IsWindowEnabled(control) ? 1 : 0;
            EnableWindow(control, FALSE);
        }
    }
    for (int id = IDC_AT_EXIT_AND_BUTTONS_FIRST; id <= IDC_AT_EXIT_AND_BUTTONS_LAST; id++)
        EnableControl(dialog, id, enable);
    EnableWindow(dialog, enable);
    app.settingsDialogEnabled = enable;
}

// After the shutdown of a session's end the dialog only waits for the
// process to end: nothing it is asked may write a value or open a window.
static INT_PTR HandleSysCommand(HWND dialog, WPARAM command)
{
    if (app.shutdownBegun)
        return FALSE;
    if (app.aboutDialog != NULL) {
        // Only a fresh About box in front: the command itself is dropped.
        DestroyAboutBox();
        PostMessageA(dialog, WM_SYSCOMMAND, IDM_ABOUT_BOX, 0);
        return TRUE;
    }
    if (app.settingsDialogEnabled == 0)
        return FALSE;
    if (command == IDM_SYSTEM_HELP)
        OpenHelpTopics();
    else if (command == IDM_ABOUT_BOX)
        OpenAboutDialog();
    // FALSE lets the standard items (move, close) work.
    return FALSE;
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        InitSettingsDialog(dialog);
        return FALSE;  // no control gets the focus
    case WM_SYSCOMMAND:
        return HandleSysCommand(dialog, wParam);
    case WM_HELP:
        if (app.settingsDialogEnabled == 0 || app.shutdownBegun)
            return FALSE;
        OpenHelpTopics();
        return TRUE;
    case WM_ACTIVATE:
        if ((LOWORD(wParam) == WA_ACTIVE || LOWORD(wParam) == WA_CLICKACTIVE) && app.aboutDialog != NULL) {
            // Destroying the About box enables this dialog again, so the
            // posted command opens a new one in front.
            DestroyAboutBox();
            PostMessageA(dialog, WM_SYSCOMMAND, IDM_ABOUT_BOX, 0);
        }
        ValidateOverlays(dialog);
        return FALSE;
    case WM_PAINT:
        ValidateOverlays(dialog);
        return FALSE;
    case WM_COMMAND:
        if (app.settingsDialogEnabled == 0 || app.shutdownBegun)
            return FALSE;
        HandleSettingsCommand(dialog, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        CloseSettingsDialog(dialog);
        return TRUE;
    case WM_QUERYENDSESSION:
        // The answer is read from DWLP_MSGRESULT after this returns, and a
        // dialog destroyed here would answer 0, refusing the session's end:
        // agree now and close afterwards.
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        return TRUE;
    case WM_DESTROY:
        RemoveAllHints();
        DestroyAboutBox();
        app.settingsDialog = NULL;
        return FALSE;
    }
    return FALSE;
}
