// The AutoComplete value table, Search Assistant mode and the start-up capture.
#include "settings/registry.h"
#include "settings/settings.h"
#include "shell/appstate.h"

const char *const kAcKeyPaths[3] = {
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\AutoComplete\\",
    "Software\\Microsoft\\Internet Explorer\\Main\\",
    "Software\\Microsoft\\Search Assistant\\",
};

const AcValueDef kAcValues[AC_ROWS] = {
    {"AutoSuggest", KEY_AUTOCOMPLETE, REG_SZ},
    {"Use FormSuggest", KEY_MAIN, REG_SZ},
    {"FormSuggest Passwords", KEY_MAIN, REG_SZ},
    {"FormSuggest PW Ask", KEY_MAIN, REG_SZ},
    {"Append Completion", KEY_AUTOCOMPLETE, REG_SZ},
    {"Use AutoComplete", KEY_AUTOCOMPLETE, REG_SZ},
    {"AutoComplete", KEY_SEARCH_ASSISTANT, REG_DWORD},
};

static const char kOpenErrorStart[] =
    "オリジナルのオートコンプリート設定レジストリがオープンできません。\n\nHKEY_CURRENT_USER\\";
static const char kNoValueText[] = "該当レジストリが１つも存在しませんでした。";

// Exactly one of the two Explorer inline-AutoComplete rows takes part in a run.
int TakesPart(int row)
{
    if (row == AC_USE_AUTOCOMPLETE)
        return app.searchAssistantMode == 0;
    if (row == AC_AUTOCOMPLETE)
        return app.searchAssistantMode == 1;
    return 1;
}

// "yes" in any letter case, within the field's 4 bytes.
int IsYes(const BYTE *field)
{
    return (field[0] | 0x20) == 'y' && (field[1] | 0x20) == 'e' && (field[2] | 0x20) == 's'
        && field[3] == '\0';
}

LONG SearchAssistantModeFor(const OSVERSIONINFOA *version)
{
    if (version->dwPlatformId != VER_PLATFORM_WIN32_NT)
        return 0;
    if (version->dwMajorVersion == 5)
        return version->dwMinorVersion != 0;
    return version->dwMajorVersion == 6;
}

void DetectSearchAssistantMode()
{
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof(version));
    version.dwOSVersionInfoSize = sizeof(version);
    app.searchAssistantMode = GetVersionExA(&version) ? SearchAssistantModeFor(&version) : 0;
}

HKEY SwitchAcKey(HKEY key, int *openKey, int row)
{
    int wanted = kAcValues[row].key;
    if (wanted == *openKey)
        return key;
    if (key != NULL)
        RegCloseKey(key);
    *openKey = wanted;
    return OpenUserKey(kAcKeyPaths[wanted]);
}

// Rows per key, in the order the capture reads them.
static const int kCaptureOrder[] = {
    AC_AUTOSUGGEST, AC_USE_AUTOCOMPLETE, AC_APPEND_COMPLETION,
    AC_FORMSUGGEST_PW_ASK, AC_USE_FORMSUGGEST, AC_FORMSUGGEST_PASSWORDS,
    AC_AUTOCOMPLETE,
};

const char *CaptureAutoCompleteValues()
{
    app.valuesCaptured = 0;
    for (int row = 0; row < AC_ROWS; row++)
        app.managed[row] = 1;
    app.presentCount = 6;
    lstrcpynA(app.openErrorText, kOpenErrorStart, sizeof(app.openErrorText));

    int openKey = -1;
    HKEY key = NULL;
    for (int i = 0; i < AC_ROWS; i++) {
        int row = kCaptureOrder[i];
        if (!TakesPart(row))
            continue;
        key = SwitchAcKey(key, &openKey, row);
        if (key == NULL) {
            int used = lstrlenA(app.openErrorText);
            lstrcpynA(app.openErrorText + used, kAcKeyPaths[openKey],
                      sizeof(app.openErrorText) - used);
            return app.openErrorText;
        }
        if (!ReadFixed(key, kAcValues[row].name, app.captured[row], 4)) {
            app.presentCount--;
            app.managed[row] = 0;
        }
    }
    if (key != NULL)
        RegCloseKey(key);
    if (app.presentCount == 0)
        return kNoValueText;
    app.valuesCaptured = 1;
    return NULL;
}

void CopyCapturedToConfigured()
{
    for (int row = 0; row < AC_ROWS; row++) {
        if (TakesPart(row))
            CopyMemory(app.configured[row], app.captured[row], 4);
    }
}
