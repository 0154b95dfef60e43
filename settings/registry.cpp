#include "settings/registry.h"

#include "shell/appstate.h"

HKEY OpenUserKey(const char *path)
{
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, path, &key) != ERROR_SUCCESS)
        return NULL;
    return key;
}

HKEY CreateUserKey(const char *path)
{
    HKEY key = NULL;
    if (RegCreateKeyA(HKEY_CURRENT_USER, path, &key) != ERROR_SUCCESS)
        return NULL;
    return key;
}

int ReadFixed(HKEY key, const char *name, void *field, DWORD size, DWORD *readLength, DWORD *type)
{
    // Read through a bounce buffer so that a failed read (value too long,
    // wrong size) leaves the caller's field exactly as it was.
    BYTE bounce[IEPATH_SIZE];
    DWORD length = size;
    if (key == NULL || size > sizeof(bounce))
        return 0;
    if (RegQueryValueExA(key, name, NULL, type, bounce, &length) != ERROR_SUCCESS || length > size)
        return 0;
    CopyMemory(field, bounce, length);
    if (readLength != NULL)
        *readLength = length;
    return 1;
}

// RegSetValueExA counts a NUL that lies right after a string's bytes into
// the value, and looks at that byte even when it is past the caller's field.
// Strings therefore go out from a copy followed by a byte that is not NUL, so
// that each value holds exactly the bytes given: a 4-byte field without a NUL
// stays 4 bytes, and IEPath keeps its promised length.
static int SetStringBytes(HKEY key, const char *name, const void *bytes, DWORD size)
{
    BYTE copy[IEPATH_SIZE];
    if (key == NULL || size >= sizeof(copy))
        return 0;
    CopyMemory(copy, bytes, size);
    copy[size] = 0xFF;
    return RegSetValueExA(key, name, 0, REG_SZ, copy, size) == ERROR_SUCCESS;
}

int WriteField(HKEY key, const char *name, DWORD type, const void *field)
{
    if (type == REG_SZ)
        return SetStringBytes(key, name, field, 4);
    return key != NULL && RegSetValueExA(key, name, 0, type, (const BYTE *)field, 4) == ERROR_SUCCESS;
}

void WriteDword(HKEY key, const char *name, LONG value)
{
    WriteField(key, name, REG_DWORD, &value);
}

void WriteText(HKEY key, const char *name, const char *text)
{
    SetStringBytes(key, name, text, lstrlenA(text));
}

void WriteProgramField(const char *name, DWORD type, const void *field)
{
    HKEY key = OpenUserKey(kProgramKey);
    if (key == NULL)
        return;
    WriteField(key, name, type, field);
    RegCloseKey(key);
}

void WriteProgramDword(const char *name, LONG value)
{
    WriteProgramField(name, REG_DWORD, &value);
}
