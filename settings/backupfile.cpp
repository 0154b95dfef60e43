// AutoComplete.reg: the captured values as a file the registry editor imports.
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
// importing the file gives back exactly the captured bytes.
static void AppendStringValue(TextBuffer *buffer, int row)
{
    AppendText(buffer, "\"");
    AppendText(buffer, kAcValues[row].name);
    AppendText(buffer, "\"=\"");
    for (int i = 0; i < 4 && app.captured[row][i] != 0; i++) {
        char c = (char)app.captured[row][i];
        if (c == '"' || c == '\\')
            Append(buffer, "\\", 1);
        Append(buffer, &c, 1);
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

// Free only when the search says so; a search that fails for another reason
// counts as taken, so no file is ever overwritten on a guess.
static int NameIsFree(const char *name)
{
    WIN32_FIND_DATAA found;
    HANDLE search = pFindFirstFileA(name, &found);
    if (search == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    FindClose(search);
    return 0;
}

int FindFreeBackupNumber()
{
    char name[32];
    for (int n = 1; n <= kMaxBackupNumber; n++) {
        wsprintfA(name, "AutoComplete%d.reg", n);
        if (NameIsFree(name))
            return n;
    }
    return 0;
}

void WriteBackupRegFile()
{
    char text[512];
    int length = BuildBackupText(text, sizeof(text));

    if (!NameIsFree(kBackupFile)) {
        int n = FindFreeBackupNumber();
        if (n != 0) {
            char name[32];
            wsprintfA(name, "AutoComplete%d.reg", n);
            MoveFileA(kBackupFile, name);
        }
    }

    HANDLE file = CreateFileA(kBackupFile, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, text, length, &written, NULL);
    CloseHandle(file);
}
