// The settings dialog: its procedure and commands, the hints over its
// controls and the removal of the program's data.
#ifndef SORRELWICK_DIALOG_H
#define SORRELWICK_DIALOG_H

#include <windows.h>

// Hints, in the order that the enabling and disabling walk too.
#define HINT_COUNT 13

struct HintDef {
    int control;
    int toolWindow;  // the overlay over the control, or the Delete button
    const char *defaultText;
};

extern const HintDef kHints[HINT_COUNT];

// Hint texts that the dialog sets.
extern const char kHintMissing[];
extern const char kHintAboveMissing[];
extern const char kHintCapturedOn[];
extern const char kHintTickEnablesBelow[];
extern const char kHintUntickDisablesBelow[];
extern const char kHintTickAboveToEnable[];
extern const char kHintUntickAboveToDisable[];

void CreateHints(HWND dialog, HINSTANCE instance);
void SetHintText(int toolWindow, const char *text);
void RemoveHint(int toolWindow);
void RemoveAllHints();
void ValidateOverlays(HWND dialog);
HWND HintTooltip(int toolWindow);  // null while the hint does not exist

// The settings dialog.
void OpenSettingsDialog();  // only while none is open
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
void SetSettingsDialogEnabled(HWND dialog, LONG enable);
void CloseSettingsDialog(HWND dialog);
void HandleSettingsCommand(HWND dialog, UINT command);
// The Delete button: the uninstall of the program's data; ends the program
// unless a key is missing or the user cancels.
void RunSettingsRemoval(HWND dialog);

#endif
