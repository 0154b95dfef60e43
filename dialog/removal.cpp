// The Delete button: the uninstall. It takes the program's keys out of the
// registry, can put the user's own values back from the Backup subkey,
// offers the backup files for deletion and ends the program. Nothing is
// changed before the one question that decides it.
#include "dialog/dialog.h"
#include "settings/registry.h"
#include "settings/settings.h"
#include "shell/appstate.h"

static const char kQuestionTitle[] = "Sorrelwick レジストリ・アンインストール";
static const char kQuestion[] =
    "Sorrelwick の設定をレジストリより削除しますか？\n\n\n"
    "[はい(Y)]    　設定を削除し、オリジナルに戻す。\n\n"
    "[いいえ(N)］   設定を削除し、オリジナルには戻さない。\n\n"
    "[キャンセル]   削除を中止する。\n\n";
static const char kAskDeleteFile[] = "初期起動時に作成した %s を削除しますか？";
static const char kFileKept[] = "%s は削除しません。\n手動（ご自身）にて削除をして下さい。";

// A found name is at most the search record's field, so every text fits.
#define TEXT_SIZE 512
static_assert(sizeof(WIN32_FIND_DATAA::cFileName) + sizeof(kAskDeleteFile) <= TEXT_SIZE, "text fits");
static_assert(sizeof(WIN32_FIND_DATAA::cFileName) + sizeof(kFileKept) <= TEXT_SIZE, "text fits");

// The maker key, the program key and the Backup subkey, each with the
// warning for its absence.
static const struct {
    const char *path;
    const char *missing;
} kStoreKeys[] = {
    {kMakerKey, "削除するレジストリデータがありません。"},
    {kProgramKey, "設定保存用のレジストリデータがありません。"},
    {kBackupKey, "バックアップしたレジストリデータがありません。"},
};

// Fills the backup buffers from the Backup subkey. `whole` marks the values
// read back with their own type and all 4 bytes: a value missing there must
// not be restored from a buffer holding zeroes, or what an earlier,
// cancelled removal read, over the user's own setting.
static void ReadBackup(HKEY backup, LONG *whole)
{
    for (int row = 0; row < AC_ROWS; row++) {
        DWORD length = 0, type = 0;
        whole[row] = TakesPart(row) && app.managed[row] == 1
                  && ReadFixed(backup, kAcValues[row].name, app.backup[row], 4, &length, &type)
                  && length == 4 && type == kAcValues[row].type;
    }
}

// 1 when all three keys are there and the backup has been read; otherwise
// the warning for the first one missing has been shown.
static int ReadStore(HWND dialog, LONG *whole)
{
    HKEY keys[3];
    int opened = 0;
    while (opened < 3 && (keys[opened] = OpenUserKey(kStoreKeys[opened].path)) != NULL)
        opened++;
    if (opened == 3)
        ReadBackup(keys[2], whole);
    for (int i = opened; i-- > 0;)
        RegCloseKey(keys[i]);
    if (opened < 3)
        MessageBoxA(dialog, kStoreKeys[opened].missing, kAppName, MB_OK | MB_ICONWARNING);
    return opened == 3;
}

// The maker key goes only when no other program keeps a key below it.
static void DeleteStoreKeys()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, kBackupKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, kProgramKey);
    HKEY maker;
    int empty = 1;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kMakerKey, 0, KEY_READ, &maker) == ERROR_SUCCESS) {
        char name[256];
        DWORD length = sizeof(name);
        empty = RegEnumKeyExA(maker, 0, name, &length, NULL, NULL, NULL, NULL) != ERROR_SUCCESS;
        RegCloseKey(maker);
    }
    if (empty)
        RegDeleteKeyA(HKEY_CURRENT_USER, kMakerKey);
}

// One question per backup file, in the order the search finds them. A
// folder of that name is no backup of ours and is passed over.
static void OfferBackupFiles(HWND dialog)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("AutoComplete*.reg", &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        // Never read past the record's field, even without its NUL.
        char name[sizeof(found.cFileName)];
        char text[TEXT_SIZE];
        lstrcpynA(name, found.cFileName, sizeof(name));
        wsprintfA(text, kAskDeleteFile, name);
        if (MessageBoxA(dialog, text, kAppName, MB_YESNO | MB_ICONQUESTION) == IDYES) {
            DeleteFileA(name);
        } else {
            wsprintfA(text, kFileKept, name);
            MessageBoxA(dialog, text, kAppName, MB_OK | MB_ICONINFORMATION);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

void RunSettingsRemoval(HWND dialog)
{
    LONG whole[AC_ROWS];
    SetSettingsDialogEnabled(dialog, 0);
    int answer = 0;
    if (ReadStore(dialog, whole))
        answer = MessageBoxA(dialog, kQuestion, kQuestionTitle, MB_YESNOCANCEL | MB_ICONQUESTION);
    // Only a Yes or a No decides it. A box ended by a quit request (the
    // auto-exit poll, the end of the session) answers 0, which is no consent
    // to delete anything, and neither is an answer given after the session's
    // end has run the shutdown.
    if ((answer != IDYES && answer != IDNO) || app.shutdownBegun) {
        SetSettingsDialogEnabled(dialog, 1);
        return;
    }
    DeleteStoreKeys();
    app.settingsRemoved = 1;
    if (answer == IDYES)
        WriteIeValues(app.backup, whole);
    DeleteFileA("Sorrelwick.GID");
    OfferBackupFiles(dialog);
    MessageBoxA(dialog, "プログラムを終了します。", kAppName, MB_OK | MB_ICONINFORMATION);
    CloseSettingsDialog(dialog);
    PostQuitMessage(0);
}
