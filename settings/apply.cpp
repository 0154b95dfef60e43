// Writes the configured set (ON) or the captured set (OFF) into Internet
// Explorer's keys.
#include "settings/registry.h"
#include "settings/settings.h"
#include "shell/appstate.h"

// Rows in the order they are written, grouped by key.
static const int kApplyOrder[] = {
    AC_AUTOSUGGEST, AC_APPEND_COMPLETION, AC_USE_AUTOCOMPLETE,
    AC_USE_FORMSUGGEST, AC_FORMSUGGEST_PASSWORDS, AC_FORMSUGGEST_PW_ASK,
    AC_AUTOCOMPLETE,
};

int WriteIeValues(BYTE (*set)[4], const LONG *only)
{
    int openKey = -1;
    HKEY key = NULL;
    int whole = 1;
    for (int i = 0; i < AC_ROWS; i++) {
        int row = kApplyOrder[i];
        if (!TakesPart(row) || app.managed[row] != 1 || (only != NULL && only[row] != 1))
            continue;
        key = SwitchAcKey(key, &openKey, row);
        // A key that does not open skips only its own values.
        if (!WriteField(key, kAcValues[row].name, kAcValues[row].type, set[row]))
            whole = 0;
    }
    if (key != NULL)
        RegCloseKey(key);
    return whole;
}

void ApplyValues(LONG selector)
{
    // Without a whole capture the captured set holds zeroes for the rows
    // never reached; a session end inside the error box must not write them.
    if (app.settingsRemoved == 1 || app.valuesCaptured != 1)
        return;
    LONG deciding = selector == 1 ? app.Enable : app.ExitAction;
    // The run's journal says "configured values may be in place" before the
    // first of them is written, and takes it back only once every captured
    // value is back: a forced end anywhere in between is undone next time.
    if (deciding == 1) {
        NoteConfiguredInPlace(1);
        WriteIeValues(app.configured, NULL);
    } else if (WriteIeValues(app.captured, NULL)) {
        NoteConfiguredInPlace(0);
    }
}
