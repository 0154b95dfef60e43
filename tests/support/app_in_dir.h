// An in-process test of code that writes relative file names: the scratch
// HKEY_CURRENT_USER of AppTest, and a fresh current directory that is put
// back afterwards.
#ifndef SORRELWICK_TESTS_APP_IN_DIR_H
#define SORRELWICK_TESTS_APP_IN_DIR_H

#include <string>

#include "settings/settings.h"
#include "shell/appstate.h"
#include "tests/support/child_process.h"
#include "tests/support/registry_sandbox.h"

class AppTestInDir : public AppTest {
protected:
    // The text that AutoComplete.reg gets from the captured values now.
    std::string BackupText()
    {
        char text[512];
        return std::string(text, BuildBackupText(text, sizeof(text)));
    }

    std::string dir = FreshTestDir();

private:
    ScopedCurrentDir cwd_{dir};
};

#endif
