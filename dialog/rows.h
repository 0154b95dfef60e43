// The settings dialog's six value rows: a box for the configured value and
// an indicator of the captured one, each under its overlay.
#ifndef SORRELWICK_DIALOG_ROWS_H
#define SORRELWICK_DIALOG_ROWS_H

#include "shell/appstate.h"

enum { ROW_WEB, ROW_FORMS, ROW_PASSWORD, ROW_PROMPT, ROW_INLINE, ROW_EXPLORER, DIALOG_ROWS };

struct DialogRow {
    int box;
    int overlay;
    int indicator;
    int indicatorOverlay;
    int value;  // the AutoComplete row outside Search Assistant mode
};

extern const DialogRow kRows[DIALOG_ROWS];

int RowValue(int row);      // the AutoComplete row that this run shows
int RowAvailable(int row);  // its value was there at start-up
int FieldIsOn(int value, const BYTE *field);
void SetPromptRowState(HWND dialog, int passwordsOn);

#endif
