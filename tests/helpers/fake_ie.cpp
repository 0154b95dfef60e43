// A stand-in for Internet Explorer in tests: opens top-level windows of class
// "IEFrame" and lives until all of them are closed.
//   fake_ie.exe [count] [hidden] [class=Name] [seconds=N] [delay=MS] [log=File]
// delay=MS waits that long before the windows open, as a slow start does;
// log=File appends the command line to File, so tests can count launches.
// FAKE_IE_LOG in the environment names a file where every copy notes which
// file ran and its command line, also a copy whose command line names no log.
#include <windows.h>
#include <stdlib.h>
#include <string.h>

static int openWindows;

static LRESULT CALLBACK FrameProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DESTROY && --openWindows == 0)
        PostQuitMessage(0);
    return DefWindowProcA(window, msg, wParam, lParam);
}

// Appends "first<TAB>line" (or just line) and CRLF to the file.
static void AppendLine(const char *path, const char *first, const char *line)
{
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    if (first != NULL) {
        WriteFile(file, first, lstrlenA(first), &written, NULL);
        WriteFile(file, "\t", 1, &written, NULL);
    }
    WriteFile(file, line, lstrlenA(line), &written, NULL);
    WriteFile(file, "\r\n", 2, &written, NULL);
    CloseHandle(file);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    int count = 1;
    int hidden = 0;
    int seconds = 0;
    int delay = 0;
    const char *log = NULL;
    const char *className = "IEFrame";
    for (int i = 1; i < __argc; i++) {
        const char *arg = __argv[i];
        if (strcmp(arg, "hidden") == 0)
            hidden = 1;
        else if (strncmp(arg, "class=", 6) == 0)
            className = arg + 6;
        else if (strncmp(arg, "seconds=", 8) == 0)
            seconds = atoi(arg + 8);
        else if (strncmp(arg, "delay=", 6) == 0)
            delay = atoi(arg + 6);
        else if (strncmp(arg, "log=", 4) == 0)
            log = arg + 4;
        else
            count = atoi(arg);
    }

    if (log != NULL)
        AppendLine(log, NULL, GetCommandLineA());
    char started[MAX_PATH], self[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("FAKE_IE_LOG", started, sizeof(started));
    if (length > 0 && length < sizeof(started)) {
        GetModuleFileNameA(NULL, self, sizeof(self));
        AppendLine(started, self, GetCommandLineA());
    }
    if (delay > 0)
        Sleep(delay);

    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = instance;
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    for (int i = 0; i < count; i++) {
        HWND window = CreateWindowExA(0, className, "Fake IE", WS_OVERLAPPEDWINDOW, 10 + i, 10 + i,
                                      200, 100, NULL, NULL, instance, NULL);
        if (window != NULL) {
            openWindows++;
            if (!hidden)
                ShowWindow(window, SW_SHOWNOACTIVATE);
        }
    }
    if (openWindows == 0)
        return 1;
    if (seconds > 0)
        SetTimer(NULL, 0, seconds * 1000, NULL);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == NULL)
            break;
        DispatchMessageA(&msg);
    }
    return 0;
}
