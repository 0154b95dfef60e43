// AutoComplete.reg: the captured values as a file the registry editor imports.
#include "settings/settings.h"
#include "shell/appstate.h"
#include "shell/seams.h"

static const char kBackupFile[] = "AutoComplete.reg";
// Far more numbered files than anyone keeps; bounds the search when the
// directory cannot be listed.
static const int kMaxBackupNumber = 9999;

struct TextBuffer {
    char *text;
    int size;
    int used;
};

static void Append(TextBuffer *buffer, const char *text, int length)
{
    for (int i = 0; i < length && buffer->used < buffer->size - 1; i++)
        buffer->text[buffer->used++] = text[i];
    buffer->text[buffer->used] = '\0';
}

static void AppendText(TextBuffer *buffer, const char *text)
{
    Append(buffer, text, lstrlenA(text));
}

// The key path is stored with a trailing backslash; the section line ends in
// "]" in its place.
static void AppendSection(TextBuffer *buffer, int key)
{
    const char *path = kAcKeyPaths[key];
    AppendText(buffer, "[HKEY_CURRENT_USER\\");
    Append(buffer, path, lstrlenA(path) - 1);
    AppendText(buffer, "]\n");
}

// The captured text ends at its first NUL or after the field's 4 bytes.
// Quotes and backslashes are escaped as the registry editor expects, so that
// importing the file gives back exactly the captured bytes; the second byte
// of a double-byte character is part of that character and never escaped.
static void AppendStringValue(TextBuffer *buffer, int row)
{
    AppendText(buffer, "\"");
    AppendText(buffer, kAcValues[row].name);
    AppendText(buffer, "\"=\"");
    const BYTE *field = app.captured[row];
    for (int i = 0; i < 4 && field[i] != 0; i++) {
        if (IsDBCSLeadByte(field[i]) && i + 1 < 4 && field[i + 1] != 0) {
            Append(buffer, (const char *)field + i, 2);
            i++;
        } else {
            if (field[i] == '"' || field[i] == '\\')
                Append(buffer, "\\", 1);
            Append(buffer, (const char *)field + i, 1);
        }
    }
    AppendText(buffer, "\"\n");
}

static void AppendManagedRows(TextBuffer *buffer, const int *rows, int count)
{
    for (int i = 0; i < count; i++) {
        if (TakesPart(rows[i]) && app.managed[rows[i]] == 1)
            AppendStringValue(buffer, rows[i]);
    }
}

int BuildBackupText(char *text, int size)
{
    static const int mainRows[] = {AC_USE_FORMSUGGEST, AC_FORMSUGGEST_PASSWORDS, AC_FORMSUGGEST_PW_ASK};
    static const int autoCompleteRows[] = {AC_AUTOSUGGEST, AC_USE_AUTOCOMPLETE, AC_APPEND_COMPLETION};
    TextBuffer buffer = {text, size, 0};
    ZeroMemory(text, size);

    AppendText(&buffer, app.searchAssistantMode == 1 ? "Windows Registry Editor Version 5.00\n\n" : "REGEDIT4\n\n");
    AppendSection(&buffer, KEY_MAIN);
    AppendManagedRows(&buffer, mainRows, 3);
    AppendText(&buffer, "\n");
    AppendSection(&buffer, KEY_AUTOCOMPLETE);
    AppendManagedRows(&buffer, autoCompleteRows, 3);
    if (TakesPart(AC_AUTOCOMPLETE) && app.managed[AC_AUTOCOMPLETE] == 1) {
        DWORD value;
        char line[64];
        CopyMemory(&value, app.captured[AC_AUTOCOMPLETE], 4);
        AppendText(&buffer, "\n");
        AppendSection(&buffer, KEY_SEARCH_ASSISTANT);
        wsprintfA(line, "\"%s\"=dword:%08lx\n", kAcValues[AC_AUTOCOMPLETE].name, value);
        AppendText(&buffer, line);
    }
    return buffer.used;
}

enum NameState { NAME_FREE, NAME_FILE, NAME_FOLDER, NAME_UNKNOWN };

// Free only when the search says so; a search that fails for another reason
// leaves the name unknown, and nothing is ever overwritten on a guess.
static NameState LookUpName(const char *name)
{
    WIN32_FIND_DATAA found;
    HANDLE search = pFindFirstFileA(name, &found);
    if (search == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND ? NAME_FREE : NAME_UNKNOWN;
    FindClose(search);
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? NAME_FOLDER : NAME_FILE;
}

// 0 when no free number can be found: a directory that cannot be searched
// will not answer for the next number either, so the search stops there.
int FindFreeBackupNumber()
{
    char name[32];
    for (int n = 1; n <= kMaxBackupNumber; n++) {
        wsprintfA(name, "AutoComplete%d.reg", n);
        NameState state = LookUpName(name);
        if (state == NAME_FREE)
            return n;
        if (state == NAME_UNKNOWN)
            return 0;
    }
    return 0;
}

int WriteBackupRegFile()
{
    char text[512];
    int length = BuildBackupText(text, sizeof(text));

    // Only our own earlier file is moved aside; a folder of that name is not
    // a backup, and then the new file simply cannot be made.
    if (LookUpName(kBackupFile) == NAME_FILE) {
        int n = FindFreeBackupNumber();
        if (n != 0) {
            char name[32];
            wsprintfA(name, "AutoComplete%d.reg", n);
            MoveFileA(kBackupFile, name);
        }
    }

    // An earlier backup that could not be moved aside may hold the user's
    // true originals: never overwrite it.
    HANDLE file = CreateFileA(kBackupFile, GENERIC_WRITE, 0, NULL, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD written = 0;
    BOOL wrote = WriteFile(file, text, length, &written, NULL);
    CloseHandle(file);
    if (!wrote || written != (DWORD)length) {
        // Half a file would restore only some of the values on import.
        DeleteFileA(kBackupFile);
        return 0;
    }
    return 1;
}
