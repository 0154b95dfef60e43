// What each control of the settings dialog does. Every change is stored at
// once, except the Internet Explorer path, which waits for Close.
#include "about/about.h"
#include "dialog/dialog.h"
#include "dialog/rows.h"
#include "iecontrol/census.h"
#include "resources/resource.h"
#include "settings/registry.h"
#include "settings/settings.h"
#include "shell/appstate.h"
#include "shell/seams.h"
#include "shell/tray.h"

static const BYTE kYes[4] = {'y', 'e', 's', 0};
static const BYTE kNo[4] = {'n', 'o', 0, 0};

static void ToggleRow(HWND dialog, int row)
{
    const DialogRow &r = kRows[row];
    if (!RowAvailable(row))
        return;
    if (row == ROW_PROMPT && IsDlgButtonChecked(dialog, kRows[ROW_PASSWORD].box) != BST_CHECKED)
        return;

    int on = IsDlgButtonChecked(dialog, r.box) != BST_CHECKED;
    CheckDlgButton(dialog, r.box, on ? BST_CHECKED : BST_UNCHECKED);
    int value = RowValue(row);
    if (kAcValues[value].type == REG_DWORD) {
        DWORD number = on ? 1 : 0;
        CopyMemory(app.configured[value], &number, 4);
    } else {
        CopyMemory(app.configured[value], on ? kYes : kNo, 4);
    }
    if (row == ROW_PASSWORD)
        SetPromptRowState(dialog, on);

    // In the OFF state Internet Explorer holds the captured values; the
    // change waits in the configured set for the next switch to ON.
    if (app.Enable == 1) {
        NoteConfiguredInPlace(1);
        HKEY key = OpenUserKey(kAcKeyPaths[kAcValues[value].key]);
        if (key != NULL) {
            WriteField(key, kAcValues[value].name, kAcValues[value].type, app.configured[value]);
            RegCloseKey(key);
        }
    }
    WriteProgramField(kAcValues[value].name, kAcValues[value].type, app.configured[value]);
}

static int RowOfCommand(UINT command)
{
    for (int row = 0; row < DIALOG_ROWS; row++) {
        if ((UINT)kRows[row].box == command || (UINT)kRows[row].overlay == command)
            return row;
    }
    return -1;
}

static void SetRadioSetting(HWND dialog, UINT first, UINT last, UINT command, LONG *field,
                            const char *name)
{
    CheckRadioButton(dialog, first, last, command);
    *field = command - first;
    WriteProgramDword(name, *field);
}

static void SetCheckSetting(HWND dialog, UINT command, LONG *field, const char *name)
{
    *field = IsDlgButtonChecked(dialog, command) == BST_CHECKED ? 1 : 0;
    WriteProgramDword(name, *field);
}

// Letter case of ASCII letters does not count; the second byte of a
// double-byte character is compared as it is, since it may look like a
// letter but is part of another character.
static int SamePathText(const char *a, const char *b)
{
    for (;; a++, b++) {
        BYTE x = (BYTE)*a, y = (BYTE)*b;
        if (IsDBCSLeadByte(x) && x == y && a[1] != '\0') {
            a++;
            b++;
            if (*a != *b)
                return 0;
            continue;
        }
        if (x >= 'A' && x <= 'Z')
            x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z')
            y += 'a' - 'A';
        if (x != y)
            return 0;
        if (x == '\0')
            return 1;
    }
}

// The program of the command line to launch must name an existing file:
// one that the launch finds on the search path or with ".exe" added, or one
// that the program part matches, wildcards included. Its arguments are not
// looked at. 1 when it does.
static int CheckIePath(HWND dialog, const char *path)
{
    char program[IEPATH_SIZE];
    int length;
    if (FindIeProgram(path, program, &length))
        return 1;
    WIN32_FIND_DATAA found;
    HANDLE search = pFindFirstFileA(program, &found);
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        return 1;
    }
    DWORD error = GetLastError();
    if (error == ERROR_NOT_ENOUGH_MEMORY)
        return 0;
    const char *text = "無効なファイル名です。";
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_NO_MORE_FILES)
        text = "指定されたファイルが見つかりません。";
    MessageBoxA(dialog, text, kAppName, MB_OK | MB_ICONWARNING);
    return 0;
}

static void CloseStoringPath(HWND dialog)
{
    char text[IEPATH_SIZE];
    GetDlgItemTextA(dialog, IDC_IE_PATH, text, sizeof(text));
    if (app.StartIE == 1 && !CheckIePath(dialog, text))
        return;
    HKEY key = OpenUserKey(kProgramKey);
    if (key != NULL) {
        if (!SamePathText(text, app.iePath)) {
            lstrcpynA(app.iePath, text, IEPATH_SIZE);
            WriteText(key, "IEPath", app.iePath);
        }
        RegCloseKey(key);
    }
    CloseSettingsDialog(dialog);
}

void HandleSettingsCommand(HWND dialog, UINT command)
{
    int row = RowOfCommand(command);
    if (row >= 0) {
        ToggleRow(dialog, row);
        return;
    }
    switch (command) {
    case IDC_EXIT_NEVER:
    case IDC_EXIT_ON_HANGUP:
    case IDC_EXIT_WHEN_IE_GONE:
        SetRadioSetting(dialog, IDC_EXIT_NEVER, IDC_EXIT_WHEN_IE_GONE, command, &app.ExitType, "ExitType");
        break;
    case IDC_STATE_ON:
    case IDC_STATE_OFF:
        CheckRadioButton(dialog, IDC_STATE_ON, IDC_STATE_OFF, command);
        SetOnOffState(command == IDC_STATE_ON ? 1 : 0);
        ApplyValues(1);
        break;
    case IDC_AT_EXIT_RESTORE_ORIGINAL:
    case IDC_AT_EXIT_APPLY_CONFIGURED:
        SetRadioSetting(dialog, IDC_AT_EXIT_RESTORE_ORIGINAL, IDC_AT_EXIT_APPLY_CONFIGURED, command,
                        &app.ExitAction, "ExitAction");
        break;
    case IDC_KILL_IE_AT_START:
        SetCheckSetting(dialog, command, &app.KillIE, "KillIE");
        break;
    case IDC_START_IE:
        SetCheckSetting(dialog, command, &app.StartIE, "StartIE");
        EnableWindow(GetDlgItem(dialog, IDC_IE_PATH), app.StartIE == 1);
        break;
    case IDC_KILL_IE_AT_EXIT:
        SetCheckSetting(dialog, command, &app.EndIE, "EndIE");
        break;
    case IDC_CLOSE_BUTTON:
        CloseStoringPath(dialog);
        break;
    case IDM_ESCAPE:
        CloseSettingsDialog(dialog);
        break;
    case IDC_EXIT_BUTTON:
        CloseSettingsDialog(dialog);
        PostQuitMessage(0);
        break;
    case IDC_DELETE_BUTTON:
        RunSettingsRemoval(dialog);
        break;
    case IDC_HELP_BUTTON:
        OpenHelpTopics();
        break;
    }
}
