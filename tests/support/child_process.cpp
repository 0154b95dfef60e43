#include "tests/support/child_process.h"

#include <stdio.h>

#include <algorithm>

ChildProcess::~ChildProcess()
{
    Kill();
}

bool ChildProcess::Start(const std::string &exe, const std::string &args, const std::string &cwd)
{
    // A bare name is a program beside the tests; a path is taken as it is.
    std::string path = exe.find('\\') == std::string::npos ? TestProgramDir() + "\\" + exe : exe;
    std::string commandLine = "\"" + path + "\"";
    if (!args.empty())
        commandLine += " " + args;
    return StartCommand(commandLine, cwd);
}

// CreateProcessA, tried once more when Wine could not create the process at
// all. Wine's CreateProcess waits until the new process has come through
// Wine's own start-up (ntdll mapped, nothing else of the program loaded), and
// fails with ERROR_INTERNAL_ERROR (1359) when it died before that: no result
// of the program. A process that ends after that point may have run the
// program, and its exit code cannot tell that apart (Sorrelwick answers 0
// on every path), so such an end stands as it is.
static bool CreateChild(const std::string &commandLine, const char *cwd, PROCESS_INFORMATION *info)
{
    for (int attempt = 1;; attempt++) {
        std::string line = commandLine;  // CreateProcessA may write into it
        STARTUPINFOA startup;
        ZeroMemory(&startup, sizeof(startup));
        startup.cb = sizeof(startup);
        if (CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, cwd, &startup, info))
            return true;
        DWORD error = GetLastError();
        if (error == ERROR_INTERNAL_ERROR && attempt == 1) {
            fprintf(stderr, "child_process: Wine could not create the process for %s (error 1359); "
                            "starting it once more\n", commandLine.c_str());
            continue;
        }
        // Say why: a start that fails now and then is otherwise a mystery.
        fprintf(stderr, "CreateProcess(%s) in \"%s\" failed: error %lu\n", commandLine.c_str(),
                cwd == NULL ? "" : cwd, error);
        return false;
    }
}

bool ChildProcess::StartCommand(std::string commandLine, const std::string &cwd)
{
    PROCESS_INFORMATION info;
    if (!CreateChild(commandLine, cwd.empty() ? NULL : cwd.c_str(), &info))
        return false;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    pid_ = info.dwProcessId;
    WaitForInputIdle(process_, 5000);
    return true;
}

DWORD ChildProcess::Wait(DWORD timeoutMs)
{
    if (process_ == NULL)
        return STILL_ACTIVE;
    WaitForSingleObject(process_, timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_, &code);
    return code;
}

bool ChildProcess::Running() const
{
    return process_ != NULL && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

void ChildProcess::Kill()
{
    if (process_ == NULL)
        return;
    if (Running()) {
        TerminateProcess(process_, 255);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    process_ = NULL;
}

std::string TestProgramDir()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof(path));
    std::string dir(path, n);
    return dir.substr(0, dir.find_last_of('\\'));
}

std::string FreshTestDir()
{
    static int counter;
    char base[MAX_PATH];
    GetTempPathA(sizeof(base), base);
    // Wine soon gives a process id again, and a folder of an earlier test
    // with that id may still hold what it made, folders too: take a name
    // that no test has used.
    char dir[MAX_PATH];
    do
        wsprintfA(dir, "%ssorrelwick-%lu-%d", base, GetCurrentProcessId(), ++counter);
    while (!CreateDirectoryA(dir, NULL) && GetLastError() == ERROR_ALREADY_EXISTS);
    return dir;
}

bool FileExists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFileBytes(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string bytes;
    char buffer[4096];
    DWORD got;
    while (ReadFile(file, buffer, sizeof(buffer), &got, NULL) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

void WriteFileBytes(const std::string &path, const std::string &bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(file);
}

std::vector<std::string> FilesIn(const std::string &dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

ScopedCurrentDir::ScopedCurrentDir(const std::string &dir)
{
    GetCurrentDirectoryA(sizeof(old_), old_);
    SetCurrentDirectoryA(dir.c_str());
}

ScopedCurrentDir::~ScopedCurrentDir()
{
    SetCurrentDirectoryA(old_);
}

DWORD RunAndWait(const std::string &commandLine, DWORD timeoutMs)
{
    PROCESS_INFORMATION info;
    if (!CreateChild(commandLine, NULL, &info))
        return STILL_ACTIVE;
    CloseHandle(info.hThread);
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(info.hProcess, timeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(info.hProcess, 255);
    else
        GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    return code;
}
