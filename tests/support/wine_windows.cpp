#include "tests/support/wine_windows.h"

std::string ClassOf(HWND window)
{
    char name[256];
    int n = GetClassNameA(window, name, sizeof(name));
    return std::string(name, n > 0 ? n : 0);
}

std::string TextOf(HWND window)
{
    char text[1024];
    int n = GetWindowTextA(window, text, sizeof(text));
    return std::string(text, n > 0 ? n : 0);
}

struct EnumState {
    DWORD pid;
    std::vector<HWND> *windows;
};

static BOOL CALLBACK AddWindow(HWND window, LPARAM param)
{
    EnumState *state = (EnumState *)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (state->pid == 0 || state->pid == pid)
        state->windows->push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD pid)
{
    std::vector<HWND> windows;
    EnumState state = {pid, &windows};
    EnumWindows(AddWindow, (LPARAM)&state);
    return windows;
}

void PumpMessages(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (ms > 0)
            MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

bool WaitUntil(const std::function<bool()> &done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        PumpMessages(20);
    }
}

HWND WaitForWindow(const std::function<HWND()> &found, DWORD timeoutMs)
{
    HWND window = NULL;
    WaitUntil([&] { return (window = found()) != NULL; }, timeoutMs);
    return window;
}

bool IsMessageBox(HWND window)
{
    return ClassOf(window) == "#32770" && GetDlgItem(window, 0xFFFF) != NULL;
}

HWND WaitForMessageBox(DWORD pid, DWORD timeoutMs)
{
    return WaitForWindow(
        [pid]() -> HWND {
            for (HWND window : TopLevelWindows(pid)) {
                if (IsMessageBox(window) && IsWindowVisible(window))
                    return window;
            }
            return NULL;
        },
        timeoutMs);
}

std::string MessageBoxText(HWND box)
{
    return TextOf(GetDlgItem(box, 0xFFFF));
}

bool MessageBoxHasIcon(HWND box)
{
    // The icon control of a message box: present and showing an icon only
    // when the box was asked for one.
    HWND icon = GetDlgItem(box, 0x0440);
    if (icon == NULL || !IsWindowVisible(icon))
        return false;
    return SendWithin(icon, STM_GETICON, 0, 0) != 0;
}

LRESULT SendWithin(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, bool unicode)
{
    DWORD_PTR result = 0;
    if (unicode)
        SendMessageTimeoutW(window, msg, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    else
        SendMessageTimeoutA(window, msg, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return (LRESULT)result;
}

void PressButton(HWND box, int id)
{
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(box, id));
}

static LRESULT CALLBACK CountCloses(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_CLOSE)
        return DefWindowProcA(window, msg, wParam, lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, GetWindowLongPtrA(window, GWLP_USERDATA) + 1);
    return 0;
}

void RegisterTestClass(const char *className, WNDPROC proc)
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = className;
    RegisterClassA(&wc);  // fails harmlessly from the second time on
}

HWND CreateCloseCounter()
{
    RegisterTestClass("SorrelwickTestCloseCounter", CountCloses);
    return CreateWindowExA(0, "SorrelwickTestCloseCounter", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL,
                           GetModuleHandleA(NULL), NULL);
}

LONG CloseCount(HWND window)
{
    return (LONG)GetWindowLongPtrA(window, GWLP_USERDATA);
}

int EndWindowOwners(const char *className, DWORD timeoutMs)
{
    std::vector<DWORD> ended;
    for (HWND window : TopLevelWindows()) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (lstrcmpiA(ClassOf(window).c_str(), className) != 0 || pid == GetCurrentProcessId())
            continue;
        bool seen = false;
        for (DWORD other : ended)
            seen = seen || other == pid;
        HANDLE process = seen ? NULL : OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (process == NULL)
            continue;
        TerminateProcess(process, 255);
        WaitForSingleObject(process, timeoutMs);
        CloseHandle(process);
        ended.push_back(pid);
    }
    return (int)ended.size();
}
