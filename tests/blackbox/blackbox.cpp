#include "tests/blackbox/blackbox.h"

#include <vector>

void SetReportedVersion(const char *version)
{
    SetString("Software\\Wine\\AppDefaults\\Sorrelwick.exe", "Version", version);
}

void BlackBox::SetUp()
{
    ClearIeAndStore();
    SeedTypicalIe();
    SetReportedVersion("win7");
    dir = FreshTestDir();
}

void BlackBox::TearDown()
{
    ClearIeAndStore();
    DeleteTree("Software\\Wine\\AppDefaults\\Sorrelwick.exe");
}

bool BlackBox::StartSorrelwick(ChildProcess &child, const std::string &args)
{
    return child.Start("Sorrelwick.exe", args, dir);
}

HWND BlackBox::WaitForMainWindow(const ChildProcess &child, DWORD timeoutMs)
{
    DWORD pid = child.Pid();
    return WaitForWindow(
        [pid]() -> HWND {
            HWND window = FindWindowA("Sorrelwick", "Sorrelwick");
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            return owner == pid ? window : NULL;
        },
        timeoutMs);
}

DWORD BlackBox::CloseAndWait(ChildProcess &child, HWND mainWindow)
{
    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    return child.Wait(10000);
}

// Presses the keys in order and lets them go in reverse, as a hand would.
void PressKeys(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT in;
        ZeroMemory(&in, sizeof(in));
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        inputs.push_back(in);
    }
    for (size_t i = keys.size(); i-- > 0;) {
        INPUT in = inputs[i];
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(in);
    }
    SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
}
