// Starting the real Sorrelwick.exe (or the Internet Explorer stand-in) and
// making sure that no test leaves a process behind.
#ifndef SORRELWICK_TESTS_CHILD_PROCESS_H
#define SORRELWICK_TESTS_CHILD_PROCESS_H

#include <windows.h>

#include <string>
#include <vector>

class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;
    ~ChildProcess();  // terminates the process if it still runs

    // `exe` is found beside the test program unless it is a path; `args`
    // follow its name.
    bool Start(const std::string &exe, const std::string &args, const std::string &cwd);
    // The command line as it stands, found the way Windows finds it.
    bool StartCommand(std::string commandLine, const std::string &cwd);
    // The exit code, or STILL_ACTIVE when it did not end within the time.
    DWORD Wait(DWORD timeoutMs);
    bool Running() const;
    void Kill();
    DWORD Pid() const { return pid_; }
    HANDLE Handle() const { return process_; }

private:
    HANDLE process_ = NULL;
    DWORD pid_ = 0;
};

std::string TestProgramDir();  // the folder of the running test program
// A new, empty folder for one test (below the system's temporary folder).
std::string FreshTestDir();
bool FileExists(const std::string &path);
std::string ReadFileBytes(const std::string &path);
void WriteFileBytes(const std::string &path, const std::string &bytes);

// The names of the entries of `dir` (files and folders, not "." and ".."),
// sorted.
std::vector<std::string> FilesIn(const std::string &dir);

// Makes `dir` the current directory for its lifetime, then restores the old
// one; the in-process tests of code that writes relative file names use it.
class ScopedCurrentDir {
public:
    explicit ScopedCurrentDir(const std::string &dir);
    ~ScopedCurrentDir();
    ScopedCurrentDir(const ScopedCurrentDir &) = delete;
    ScopedCurrentDir &operator=(const ScopedCurrentDir &) = delete;

private:
    char old_[MAX_PATH];
};

// Runs a program of the system by its command line and waits for its exit
// code (STILL_ACTIVE after the time-out, when it is killed).
DWORD RunAndWait(const std::string &commandLine, DWORD timeoutMs);

#endif
