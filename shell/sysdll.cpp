#include "shell/sysdll.h"

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

typedef BOOL(WINAPI *SetDefaultDllDirectoriesFn)(DWORD);
typedef BOOL(WINAPI *SetDllDirectoryFn)(LPCSTR);

// Newer than Windows 2000: looked up, so that the exe still starts there.
static FARPROC Kernel32Function(const char *name)
{
    return GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
}

void HardenDllSearch()
{
    // Windows 8, and Vista and 7 with the loader update of 2011.
    SetDefaultDllDirectoriesFn setDefault =
        (SetDefaultDllDirectoriesFn)(void *)Kernel32Function("SetDefaultDllDirectories");
    if (setDefault != NULL)
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // XP SP1 and later.
    SetDllDirectoryFn setDirectory = (SetDllDirectoryFn)(void *)Kernel32Function("SetDllDirectoryA");
    if (setDirectory != NULL)
        setDirectory("");
}

HMODULE LoadSystemDll(const char *name)
{
    // The search flags came with AddDllDirectory; older loaders refuse them.
    if (Kernel32Function("AddDllDirectory") != NULL)
        return LoadLibraryExA(name, NULL, LOAD_LIBRARY_SEARCH_SYSTEM32);
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + 1 + lstrlenA(name) >= MAX_PATH)
        return NULL;
    path[length] = '\\';
    lstrcpyA(path + length + 1, name);
    // The altered search looks for the DLL's own imports in the system
    // folder too, not beside the exe.
    return LoadLibraryExA(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
}
