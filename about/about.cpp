// The About box: the product name, version and copyright read from the
// program's own version information, beside an icon that changes every
// second.
#include "about/about.h"
#include "dialog/dialog.h"
#include "resources/resource.h"
#include "shell/appstate.h"
#include "shell/seams.h"
#include "shell/sysdll.h"

#define ICON_STEP_MS 1000

static const char kVersionPrefix[] = "Version ";

// Where the translation's own string table is missing, these are searched,
// code pages outside, then 0x0401 to 0x0421 and these languages inside.
static const WORD kCodePages[] = {0, 932, 949, 950, 1200, 1250, 1251, 1252, 1253, 1254, 1255, 1256};
static const WORD kExtraLanguages[] = {0x0804, 0x0807, 0x0809, 0x080A, 0x080C, 0x0810,
                                       0x0813, 0x0814, 0x0816, 0x081A, 0x0C0C, 0x100C};

void OpenAboutDialog()
{
    if (app.aboutDialog != NULL)
        return;
    app.aboutDialog = CreateDialogParamA(app.instance, "IDC_ABOUTDLG", app.mainWindow, AboutDialogProc,
                                         (LPARAM)app.mainWindow);
}

typedef DWORD(WINAPI *GetFileVersionInfoSizeFn)(LPCSTR, LPDWORD);
typedef BOOL(WINAPI *GetFileVersionInfoFn)(LPCSTR, DWORD, DWORD, LPVOID);
typedef BOOL(WINAPI *VerQueryValueFn)(LPCVOID, LPCSTR, LPVOID *, PUINT);

static GetFileVersionInfoSizeFn getVersionInfoSize;
static GetFileVersionInfoFn getVersionInfo;
static VerQueryValueFn queryVersionValue;

// version.dll is looked up at the first opening, once; without it the box
// shows what it shows for a file with no version information.
static int LoadVersionDll()
{
    static LONG looked;
    if (!looked) {
        looked = 1;
        HMODULE dll = LoadSystemDll("version.dll");
        if (dll != NULL) {
            getVersionInfoSize = (GetFileVersionInfoSizeFn)(void *)GetProcAddress(dll, "GetFileVersionInfoSizeA");
            getVersionInfo = (GetFileVersionInfoFn)(void *)GetProcAddress(dll, "GetFileVersionInfoA");
            queryVersionValue = (VerQueryValueFn)(void *)GetProcAddress(dll, "VerQueryValueA");
        }
    }
    return getVersionInfoSize != NULL && getVersionInfo != NULL && queryVersionValue != NULL;
}

void *ReadVersionBlock(const char *fileName, DWORD *translation)
{
    if (!LoadVersionDll())
        return NULL;
    DWORD unused;
    DWORD size = getVersionInfoSize(fileName, &unused);
    if (size == 0)
        return NULL;
    void *block = LocalAlloc(LMEM_FIXED, size);
    if (block == NULL)
        return NULL;
    void *table;
    UINT length;
    // A table shorter than one entry would be read past its end.
    if (!getVersionInfo(fileName, 0, size, block)
        || !queryVersionValue(block, "\\VarFileInfo\\Translation", &table, &length) || length < 4) {
        LocalFree(block);
        return NULL;
    }
    CopyMemory(translation, table, 4);
    return block;
}

// Another file's strings may be longer than the label: cut them, and never
// through the middle of a double-byte character.
static void CopyCut(char *text, int size, const char *value)
{
    int i = 0;
    while (value[i] != '\0') {
        int length = IsDBCSLeadByte((BYTE)value[i]) && value[i + 1] != '\0' ? 2 : 1;
        if (i + length >= size)
            break;
        CopyMemory(text + i, value + i, length);
        i += length;
    }
    text[i] = '\0';
}

static int FindVersionString(char *text, int size, const void *block, WORD language, WORD codePage,
                             const char *name)
{
    char path[96];
    wsprintfA(path, "\\StringFileInfo\\%04x%04x\\%.48s", language, codePage, name);
    char *value;
    UINT length;
    if (!queryVersionValue(block, path, (void **)&value, &length) || value == NULL)
        return 0;
    CopyCut(text, size, value);
    return 1;
}

int QueryVersionString(char *text, int size, const void *block, DWORD translation, const char *name)
{
    if (FindVersionString(text, size, block, LOWORD(translation), HIWORD(translation), name))
        return 1;
    for (WORD codePage : kCodePages) {
        for (WORD language = 0x0401; language <= 0x0421; language++) {
            if (FindVersionString(text, size, block, language, codePage, name))
                return 1;
        }
        for (WORD language : kExtraLanguages) {
            if (FindVersionString(text, size, block, language, codePage, name))
                return 1;
        }
    }
    text[0] = '\0';
    return 0;
}

static void ShowVersionLabels(HWND dialog)
{
    char text[ABOUT_LABEL_SIZE];
    const int prefix = sizeof(kVersionPrefix) - 1;
    lstrcpyA(text, kVersionPrefix);
    // The module's own name: argv[0] may be a bare or relative name that
    // does not open from the current folder.
    char file[MAX_PATH];
    DWORD length = pGetModuleFileNameA(app.instance, file, sizeof(file));
    DWORD translation;
    // A cut name carries no NUL and names another file.
    void *block = length > 0 && length < sizeof(file) ? ReadVersionBlock(file, &translation) : NULL;
    if (block == NULL) {
        lstrcatA(text, " : Unkown");
        SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, text);
        return;
    }
    QueryVersionString(text + prefix, sizeof(text) - prefix, block, translation, "FileVersion");
    SetDlgItemTextA(dialog, IDC_ABOUT_VERSION, text);
    QueryVersionString(text, sizeof(text), block, translation, "LegalCopyright");
    SetDlgItemTextA(dialog, IDC_ABOUT_COPYRIGHT, text);
    QueryVersionString(text, sizeof(text), block, translation, "ProductName");
    SetDlgItemTextA(dialog, IDC_ABOUT_PRODUCT, text);
    LocalFree(block);
}

static void InitAboutDialog(HWND dialog)
{
    HMENU menu = GetSystemMenu(dialog, FALSE);
    InsertMenuA(menu, 0, MF_BYPOSITION | MF_STRING, IDM_SYSTEM_HELP, "ヘルプ (&H)");
    InsertMenuA(menu, 1, MF_BYPOSITION | MF_SEPARATOR, 0, NULL);
    DrawMenuBar(dialog);
    ShowVersionLabels(dialog);
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, (LPARAM)LoadIconA(app.instance, MAKEINTRESOURCEA(IDI_APP)));
    app.aboutIconControl = GetDlgItem(dialog, IDC_ABOUT_ICON);
    SetTimer(dialog, TIMER_ABOUT_ICON, ICON_STEP_MS, NULL);
    app.aboutIconFrame = 1;
    if (app.settingsDialog != NULL)
        SetSettingsDialogEnabled(app.settingsDialog, 0);
    GetWindowRect(dialog, &app.aboutInitialRect);
}

// Icons 1 to 3 in turn, one step per paint.
static void DrawAboutIcon()
{
    InvalidateRect(app.aboutIconControl, NULL, TRUE);
    UpdateWindow(app.aboutIconControl);
    HDC dc = GetDC(app.aboutIconControl);
    DrawIcon(dc, 0, 0, LoadIconA(app.instance, MAKEINTRESOURCEA(app.aboutIconFrame)));
    ReleaseDC(app.aboutIconControl, dc);
    if (++app.aboutIconFrame >= 4)
        app.aboutIconFrame = 1;
}

static void CloseAboutDialog(HWND dialog)
{
    app.aboutDialog = NULL;
    DestroyWindow(dialog);
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        InitAboutDialog(dialog);
        return 0;
    case WM_TIMER:
        PostMessageA(dialog, WM_PAINT, 0, 0);
        return 0;
    case WM_PAINT:
        DrawAboutIcon();
        return 0;
    case WM_SYSCOMMAND:
        if (wParam == IDM_SYSTEM_HELP)
            OpenHelpTopics();
        return 0;  // the standard items keep working
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_ABOUT_OK || LOWORD(wParam) == IDM_ESCAPE)
            CloseAboutDialog(dialog);
        return 0;
    case WM_CLOSE:
        CloseAboutDialog(dialog);
        return 1;
    case WM_QUERYENDSESSION:
        // The answer is read from DWLP_MSGRESULT after this returns, and a
        // box destroyed here would answer 0, refusing the session's end:
        // agree now and close afterwards.
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        return 1;
    case WM_DESTROY:
        app.aboutDialog = NULL;
        if (app.settingsDialog != NULL) {
            SetSettingsDialogEnabled(app.settingsDialog, 1);
            SetForegroundWindow(app.settingsDialog);
        }
        return 0;
    }
    return 0;
}
