// Times one armed tick of the Internet Explorer rule beside a bare walk over
// the same top-level windows, with 50 frame windows of its own and then 50 of
// another process (fake_ie.exe beside it), and says whether a tick asked to
// close. Run by scripts/bench-poll.sh.
#include <windows.h>
#include <stdio.h>

#include "iecontrol/autoexit.h"
#include "shell/appstate.h"

#define ROUNDS 200
#define FRAMES 50

static int closes;

static LRESULT CALLBACK CountCloses(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CLOSE) {
        closes++;
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

static BOOL CALLBACK Nothing(HWND, LPARAM)
{
    return TRUE;
}

static BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    (*(int *)count)++;
    return TRUE;
}

struct FrameCount {
    DWORD pid;
    int frames;
};

static BOOL CALLBACK CountFrame(HWND window, LPARAM param)
{
    FrameCount *count = (FrameCount *)param;
    char name[32];
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == count->pid && GetClassNameA(window, name, sizeof(name)) && lstrcmpA(name, "IEFrame") == 0)
        count->frames++;
    return TRUE;
}

static int FramesOf(DWORD pid)
{
    FrameCount count = {pid, 0};
    EnumWindows(CountFrame, (LPARAM)&count);
    return count.frames;
}

// Microseconds for one call of `work`: the best of three runs of ROUNDS calls.
static double Microseconds(void (*work)())
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    double best = 1e30;
    for (int attempt = 0; attempt < 3; attempt++) {
        QueryPerformanceCounter(&start);
        for (int i = 0; i < ROUNDS; i++)
            work();
        QueryPerformanceCounter(&end);
        double us = (double)(end.QuadPart - start.QuadPart) * 1e6 / (double)frequency.QuadPart / ROUNDS;
        best = us < best ? us : best;
    }
    return best;
}

static void Walk()
{
    EnumWindows(Nothing, 0);
}

static void Report(const char *what)
{
    int windows = 0;
    EnumWindows(CountWindow, (LPARAM)&windows);
    closes = 0;
    double walk = Microseconds(Walk);
    double tick = Microseconds(AutoExitPoll);
    printf("%s: %d top-level windows, tick %.1f us, bare walk %.1f us, ratio %.2f, %s\n", what, windows,
           tick, walk, tick / walk, closes == 0 ? "no close request" : "CLOSE REQUESTED");
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.lpfnWndProc = CountCloses;
    wc.hInstance = instance;
    wc.lpszClassName = "SorrelwickBench";
    RegisterClassA(&wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "IEFrame";
    RegisterClassA(&wc);
    app.mainWindow = CreateWindowExA(0, "SorrelwickBench", "bench", WS_POPUP, 0, 0, 0, 0, NULL, NULL,
                                     instance, NULL);
    app.ExitType = 2;
    app.ieSeen = 1;  // armed: every tick is a full census

    HWND frames[FRAMES];
    for (int i = 0; i < FRAMES; i++)
        frames[i] = CreateWindowExA(0, "IEFrame", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, instance, NULL);
    Report("50 frame windows of our own");
    for (int i = 0; i < FRAMES; i++)
        DestroyWindow(frames[i]);

    // Another process's windows: each class name is then a server round trip.
    char commandLine[MAX_PATH + 32];
    DWORD n = GetModuleFileNameA(NULL, commandLine, MAX_PATH);
    while (n > 0 && commandLine[n - 1] != '\\')
        n--;
    lstrcpyA(commandLine + n, "fake_ie.exe 50 hidden");
    STARTUPINFOA startup;
    PROCESS_INFORMATION info;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    if (!CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info)) {
        printf("could not start %s: error %lu\n", commandLine, GetLastError());
        return 1;
    }
    CloseHandle(info.hThread);
    DWORD start = GetTickCount();
    while (FramesOf(info.dwProcessId) < FRAMES && GetTickCount() - start < 20000)
        Sleep(20);
    if (FramesOf(info.dwProcessId) < FRAMES)
        printf("fake_ie.exe did not open its %d windows\n", FRAMES);
    else
        Report("50 frame windows of another process");
    TerminateProcess(info.hProcess, 0);
    WaitForSingleObject(info.hProcess, 5000);
    CloseHandle(info.hProcess);
    DestroyWindow(app.mainWindow);
    return 0;
}
