// The one process-wide state record and the numbers and names that every
// folder shares. There is exactly one of everything per process. No
// operation is declared here: each folder's own header offers its own.
#ifndef SORRELWICK_APPSTATE_H
#define SORRELWICK_APPSTATE_H

#include <windows.h>
#include <shellapi.h>

#define WM_TRAYNOTIFY 0x8064

#define TIMER_HELP 1
#define TIMER_POLL 2

// Rows of the AutoComplete value table, in the order of the string table.
enum AcRow {
    AC_AUTOSUGGEST,
    AC_USE_FORMSUGGEST,
    AC_FORMSUGGEST_PASSWORDS,
    AC_FORMSUGGEST_PW_ASK,
    AC_APPEND_COMPLETION,
    AC_USE_AUTOCOMPLETE,  // string, only outside Search Assistant mode
    AC_AUTOCOMPLETE,      // DWORD, only in Search Assistant mode
    AC_ROWS
};

enum AcKey { KEY_AUTOCOMPLETE, KEY_MAIN, KEY_SEARCH_ASSISTANT };

struct AcValueDef {
    const char *name;
    AcKey key;
    DWORD type;
};

extern const AcValueDef kAcValues[AC_ROWS];
extern const char *const kAcKeyPaths[3];  // each with its trailing backslash

#define IEPATH_SIZE 1024
#define IEPIDS_MAX 100

struct AppState {
    // handles
    HINSTANCE instance;
    HWND mainWindow;
    HWND settingsDialog;
    HWND aboutDialog;
    UINT_PTR pollTimerId;
    HANDLE monitorThread;
    HMENU trayMenu;          // null whenever no live menu exists
    NOTIFYICONDATAA trayIcon;  // cbSize 88: the first form of the record
    HWND helpWindow;
    HACCEL accelerators;
    LONG shutdownBegun;  // a shutdown has run, from the loop's end or a session's end
    LONG shutdownStep;   // its steps taken so far

    // AutoComplete state
    LONG searchAssistantMode;
    BYTE captured[AC_ROWS][4];   // "yes"/"no" as 4 bytes, or the DWORD
    BYTE configured[AC_ROWS][4];
    BYTE backup[AC_ROWS][4];     // the Backup subkey's values, as the removal read them
    LONG managed[AC_ROWS];
    LONG presentCount;
    char openErrorText[256];
    LONG valuesCaptured;     // 1 only after a capture that succeeded
    LONG runCapturedWritten; // this run left RunCaptured in the program key
    LONG configuredInPlace;  // what RunCaptured says: the configured values may be in place

    // configuration
    LONG Enable;
    LONG ExitAction;
    LONG ExitType;
    LONG KillIE;
    LONG StartIE;
    LONG EndIE;
    LONG CompleteCount;
    char iePath[IEPATH_SIZE];
    LONG openSettingsAtStartup;

    // flags
    LONG settingsRemoved;
    LONG settingsDialogEnabled;
    LONG ieKilledAtStartup;

    // poll and census
    LONG rasLastState;
    LONG ieSeen;
    DWORD iePids[IEPIDS_MAX];
    LONG iePidCount;

    // settings dialog
    LONG savedEnable[13];  // per hint record, while the dialog is disabled
    // dialogs' opening rectangles, for re-centring a moved dialog
    RECT settingsInitialRect;
    LONG aboutIconFrame;
    HWND aboutIconControl;
    RECT aboutInitialRect;
};

extern AppState app;

extern const char kAppName[];        // "Sorrelwick": class, title, box titles
extern const char kProgramKey[];     // "Software\Tarrow\Sorrelwick\"
extern const char kMakerKey[];       // "Software\Tarrow\"
extern const char kBackupKey[];      // "Software\Tarrow\Sorrelwick\Backup\"
extern const char kDefaultIePath[];

#endif
