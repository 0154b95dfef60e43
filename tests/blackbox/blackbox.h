// Shared set-up of the tests that start the real Sorrelwick.exe: the prefix's
// own HKEY_CURRENT_USER, seeded afresh, and a new current folder per test.
#ifndef SORRELWICK_TESTS_BLACKBOX_H
#define SORRELWICK_TESTS_BLACKBOX_H

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "tests/support/child_process.h"
#include "tests/support/registry_sandbox.h"
#include "tests/support/wine_windows.h"

// Presses the keys in order and lets them go in reverse, as a hand would.
void PressKeys(std::initializer_list<WORD> keys);

// Which version Wine reports to Sorrelwick.exe: "win2k", "winxp", "win7".
void SetReportedVersion(const char *version);

class BlackBox : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts Sorrelwick.exe in `dir`; false if it could not be started.
    bool StartSorrelwick(ChildProcess &child, const std::string &args = "");
    // Its hidden main window, once it exists (null after the time-out).
    HWND WaitForMainWindow(const ChildProcess &child, DWORD timeoutMs = 10000);
    // Sends WM_CLOSE and waits for the exit code.
    DWORD CloseAndWait(ChildProcess &child, HWND mainWindow);

    std::string dir;
};

#endif
