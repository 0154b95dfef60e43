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

int ReadFixed(HKEY key, const char *name, void *field, DWORD size, DWORD *readLength)
{
    // Read through a bounce buffer so that a failed read (value too long,
    // wrong size) leaves the caller's field exactly as it was.
    BYTE bounce[IEPATH_SIZE];
    DWORD length = size;
    if (key == NULL || size > sizeof(bounce))
        return 0;
    if (RegQueryValueExA(key, name, NULL, NULL, bounce, &length) != ERROR_SUCCESS || length > size)
        return 0;
    CopyMemory(field, bounce, length);
    if (readLength != NULL)
        *readLength = length;
    return 1;
}

void WriteField(HKEY key, const char *name, DWORD type, const void *field)
{
    if (key != NULL)
        RegSetValueExA(key, name, 0, type, (const BYTE *)field, 4);
}

void WriteDword(HKEY key, const char *name, LONG value)
{
    WriteField(key, name, REG_DWORD, &value);
}

void WriteText(HKEY key, const char *name, const char *text)
{
    if (key != NULL)
        RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)text, lstrlenA(text));
}

void WriteProgramDword(const char *name, LONG value)
{
    HKEY key = OpenUserKey(kProgramKey);
    if (key == NULL)
        return;
    WriteDword(key, name, value);
    RegCloseKey(key);
}
