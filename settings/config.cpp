// The program's own configuration store below HKEY_CURRENT_USER.
#include <string.h>

#include "settings/registry.h"
#include "settings/settings.h"
#include "shell/appstate.h"

const char kMakerKey[] = "Software\\Tarrow\\";
const char kProgramKey[] = "Software\\Tarrow\\Sorrelwick\\";
const char kBackupKey[] = "Software\\Tarrow\\Sorrelwick\\Backup\\";
const char kDefaultIePath[] = "C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE";

static const BYTE kNo[4] = {'n', 'o', 0, 0};

// RunCaptured, a value of the program key for as long as a run is under way
// (and after a run that was ended by force): what that run captured, so that
// the next start does not take the configured values for the user's own.
// The seven captured fields in table order, a DWORD whose bit `row` is set
// when the row took part and was managed, and a DWORD that is 1 while the
// configured values may be in Internet Explorer's keys. The first form
// lacked the last DWORD; there the stored ON state stood for it. Anything
// else counts as absent.
static const char kRunCaptured[] = "RunCaptured";
struct RunCaptured {
    BYTE captured[AC_ROWS][4];
    DWORD managedMask;
    DWORD configuredInPlace;
};
static_assert(sizeof(RunCaptured) == 36, "RunCaptured is 36 bytes");
#define RUN_CAPTURED_FIRST_SIZE 32

// Configured rows in the order the load reads them.
static const int kLoadOrder[] = {
    AC_FORMSUGGEST_PW_ASK, AC_AUTOSUGGEST, AC_USE_AUTOCOMPLETE, AC_AUTOCOMPLETE,
    AC_APPEND_COMPLETION, AC_USE_FORMSUGGEST, AC_FORMSUGGEST_PASSWORDS,
};

struct DwordSetting {
    const char *name;
    LONG *field;
};

static void LoadFromProgramKey(HKEY key)
{
    for (int i = 0; i < AC_ROWS; i++) {
        int row = kLoadOrder[i];
        if (!TakesPart(row))
            continue;
        // The stored bytes replace the field whole: a 3-byte "no" must not
        // keep a fourth byte from the captured copy.
        BYTE value[4] = {0, 0, 0, 0};
        if (ReadFixed(key, kAcValues[row].name, value, 4))
            CopyMemory(app.configured[row], value, 4);
        else if (kAcValues[row].type == REG_DWORD)
            ZeroMemory(app.configured[row], 4);
        else
            CopyMemory(app.configured[row], kNo, 4);
    }

    const DwordSetting settings[] = {
        {"ExitAction", &app.ExitAction}, {"ExitType", &app.ExitType},
        {"KillIE", &app.KillIE},         {"StartIE", &app.StartIE},
        {"EndIE", &app.EndIE},
    };
    for (unsigned i = 0; i < sizeof(settings) / sizeof(settings[0]); i++) {
        if (!ReadFixed(key, settings[i].name, settings[i].field, 4))
            *settings[i].field = 0;
    }

    DWORD length = 0;
    if (ReadFixed(key, "IEPath", app.iePath, IEPATH_SIZE - 1, &length)) {
        app.iePath[length] = '\0';
    } else {
        lstrcpyA(app.iePath, kDefaultIePath);
    }

    if (!ReadFixed(key, "Enable", &app.Enable, 4))
        app.Enable = 0;
    if (!ReadFixed(key, "CompleteCount", &app.CompleteCount, 4))
        app.CompleteCount = app.presentCount;
}

// After a run ended by force while its configured values may have been in
// place, each value that still holds the configured bytes holds them because
// of that run: its own value is the one that run captured. Any other value
// was changed since and stands. This run then starts with them possibly in
// place too, until it has written the captured values back.
static void RecoverRunCaptured(HKEY program)
{
    RunCaptured run;
    DWORD length = 0, type = 0;
    if (!ReadFixed(program, kRunCaptured, &run, sizeof(run), &length, &type) || type != REG_BINARY)
        return;
    if (length == RUN_CAPTURED_FIRST_SIZE)
        run.configuredInPlace = app.Enable == 1;
    else if (length != sizeof(run))
        return;
    if (run.configuredInPlace != 1)
        return;
    app.configuredInPlace = 1;
    for (int row = 0; row < AC_ROWS; row++) {
        if (TakesPart(row) && app.managed[row] == 1 && (run.managedMask & (1u << row)) != 0
            && memcmp(app.captured[row], app.configured[row], 4) == 0)
            CopyMemory(app.captured[row], run.captured[row], 4);
    }
}

void WriteRunCaptured()
{
    RunCaptured run;
    CopyMemory(run.captured, app.captured, sizeof(run.captured));
    run.managedMask = 0;
    for (int row = 0; row < AC_ROWS; row++) {
        if (TakesPart(row) && app.managed[row] == 1)
            run.managedMask |= 1u << row;
    }
    run.configuredInPlace = app.configuredInPlace == 1;
    HKEY program = OpenUserKey(kProgramKey);
    if (program == NULL)
        return;
    if (RegSetValueExA(program, kRunCaptured, 0, REG_BINARY, (const BYTE *)&run, sizeof(run)) == ERROR_SUCCESS)
        app.runCapturedWritten = 1;
    RegCloseKey(program);
}

void NoteConfiguredInPlace(LONG inPlace)
{
    if (app.configuredInPlace == inPlace)
        return;
    app.configuredInPlace = inPlace;
    WriteRunCaptured();
}

// A rebuild starts from an empty program key, all but the journal, which
// may be the only record of the user's own values at that moment.
static void ClearProgramKey()
{
    HKEY program = OpenUserKey(kProgramKey);
    if (program == NULL)
        return;
    DWORD index = 0;
    for (;;) {
        char name[256];
        DWORD length = sizeof(name);
        LONG result = RegEnumValueA(program, index, name, &length, NULL, NULL, NULL, NULL);
        if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA)
            break;
        if (result != ERROR_SUCCESS || lstrcmpiA(name, kRunCaptured) == 0 || RegDeleteValueA(program, name) != ERROR_SUCCESS)
            index++;
    }
    RegCloseKey(program);
}

// Only a run that wrote it takes it away: one that stopped before (a failed
// capture, a second copy) must leave an earlier forced end's values in place.
void DeleteRunCaptured()
{
    if (app.runCapturedWritten != 1)
        return;
    app.runCapturedWritten = 0;
    // The settings removal took the key with it; it is not made again.
    HKEY program = OpenUserKey(kProgramKey);
    if (program == NULL)
        return;
    RegDeleteValueA(program, kRunCaptured);
    RegCloseKey(program);
}

void LoadConfiguration()
{
    app.ExitAction = 0;
    app.ExitType = 0;
    app.Enable = 0;
    app.KillIE = 0;
    app.StartIE = 0;
    app.EndIE = 0;
    lstrcpyA(app.iePath, kDefaultIePath);
    app.configuredInPlace = 0;

    HKEY maker = OpenUserKey(kMakerKey);
    HKEY program = maker != NULL ? OpenUserKey(kProgramKey) : NULL;
    if (maker == NULL)
        maker = CreateUserKey(kMakerKey);
    if (program == NULL) {
        CreateConfigurationStore();
        WriteRunCaptured();
    } else {
        LoadFromProgramKey(program);
        // Before a rebuild, so that its Backup and file get the user's values.
        RecoverRunCaptured(program);
        RegCloseKey(program);
        // This run's journal takes the place of a forced run's at once, and
        // the rebuild keeps it.
        WriteRunCaptured();
        if (app.CompleteCount != app.presentCount) {
            // A value appeared or vanished since the store was made: rebuild
            // it from the settings just loaded and this capture.
            RegDeleteKeyA(HKEY_CURRENT_USER, kBackupKey);
            ClearProgramKey();
            CreateConfigurationStore();
        }
    }
    if (maker != NULL)
        RegCloseKey(maker);
}

void CreateConfigurationStore()
{
    app.CompleteCount = app.presentCount;
    WriteProgramKey();
    app.openSettingsAtStartup = 1;
}

// The string rows in the order the store writes them; the DWORD row last.
static void WriteValueSet(HKEY key, BYTE (*set)[4])
{
    for (int row = 0; row < AC_ROWS; row++) {
        if (TakesPart(row) && app.managed[row] == 1 && kAcValues[row].type == REG_SZ)
            WriteField(key, kAcValues[row].name, REG_SZ, set[row]);
    }
}

void WriteProgramKey()
{
    HKEY program = CreateUserKey(kProgramKey);
    HKEY backup = CreateUserKey(kBackupKey);

    const DwordSetting settings[] = {
        {"ExitAction", &app.ExitAction}, {"Enable", &app.Enable},
        {"ExitType", &app.ExitType},     {"KillIE", &app.KillIE},
        {"StartIE", &app.StartIE},       {"EndIE", &app.EndIE},
        {"CompleteCount", &app.CompleteCount},
    };
    for (unsigned i = 0; i < sizeof(settings) / sizeof(settings[0]); i++)
        WriteDword(program, settings[i].name, *settings[i].field);
    WriteText(program, "IEPath", app.iePath);

    WriteValueSet(program, app.configured);
    WriteValueSet(backup, app.captured);
    if (TakesPart(AC_AUTOCOMPLETE) && app.managed[AC_AUTOCOMPLETE] == 1) {
        WriteField(program, kAcValues[AC_AUTOCOMPLETE].name, REG_DWORD, app.configured[AC_AUTOCOMPLETE]);
        WriteField(backup, kAcValues[AC_AUTOCOMPLETE].name, REG_DWORD, app.captured[AC_AUTOCOMPLETE]);
    }

    if (backup != NULL)
        RegCloseKey(backup);
    if (program != NULL)
        RegCloseKey(program);
    WriteBackupRegFile();
}
