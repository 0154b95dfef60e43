// A second thread that answers this process's message boxes with OK and
// dismisses its popup menus, recording what each showed, while the test's
// own thread is blocked inside MessageBox or TrackPopupMenu. Header only.
#ifndef SORRELWICK_TESTS_MODAL_WATCHER_H
#define SORRELWICK_TESTS_MODAL_WATCHER_H

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/wine_windows.h"

struct SeenBox {
    std::string title;
    std::string text;
    HWND owner;
    HICON icon;  // what the box's icon control shows; null for none
};

struct SeenMenu {
    HMENU menu;         // the menu the popup window tracks
    RECT rect;          // the popup window on the screen
    HWND foreground;    // the foreground window while it was open
};

class ModalWatcher {
public:
    ModalWatcher()
    {
        InitializeCriticalSection(&lock_);
        thread_ = CreateThread(NULL, 0, Run, this, 0, NULL);
    }
    ~ModalWatcher()
    {
        stop_ = 1;
        WaitForSingleObject(thread_, 5000);
        CloseHandle(thread_);
        DeleteCriticalSection(&lock_);
    }
    ModalWatcher(const ModalWatcher &) = delete;
    ModalWatcher &operator=(const ModalWatcher &) = delete;

    std::vector<SeenBox> Boxes()
    {
        EnterCriticalSection(&lock_);
        std::vector<SeenBox> copy = boxes_;
        LeaveCriticalSection(&lock_);
        return copy;
    }
    std::vector<SeenMenu> Menus()
    {
        EnterCriticalSection(&lock_);
        std::vector<SeenMenu> copy = menus_;
        LeaveCriticalSection(&lock_);
        return copy;
    }

private:
    static DWORD WINAPI Run(LPVOID param)
    {
        ModalWatcher *self = (ModalWatcher *)param;
        std::vector<HWND> handled;
        while (!self->stop_) {
            for (HWND window : TopLevelWindows(GetCurrentProcessId())) {
                if (!IsWindowVisible(window)
                    || std::find(handled.begin(), handled.end(), window) != handled.end())
                    continue;
                std::string cls = ClassOf(window);
                if (IsMessageBox(window)) {
                    handled.push_back(window);
                    HWND iconControl = GetDlgItem(window, 0x0440);
                    HICON icon = NULL;
                    if (iconControl != NULL && IsWindowVisible(iconControl))
                        icon = (HICON)SendWithin(iconControl, STM_GETICON, 0, 0);
                    SeenBox box = {TextOf(window), MessageBoxText(window),
                                   GetWindow(window, GW_OWNER), icon};
                    self->Add(box);
                    PressButton(window, IDOK);
                } else if (cls == "#32768") {
                    handled.push_back(window);
                    SeenMenu menu;
                    menu.menu = (HMENU)SendWithin(window, MN_GETHMENU, 0, 0);
                    GetWindowRect(window, &menu.rect);
                    menu.foreground = GetForegroundWindow();
                    self->Add(menu);
                    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
                }
            }
            Sleep(20);
        }
        return 0;
    }
    void Add(const SeenBox &box)
    {
        EnterCriticalSection(&lock_);
        boxes_.push_back(box);
        LeaveCriticalSection(&lock_);
    }
    void Add(const SeenMenu &menu)
    {
        EnterCriticalSection(&lock_);
        menus_.push_back(menu);
        LeaveCriticalSection(&lock_);
    }

    HANDLE thread_;
    volatile LONG stop_ = 0;
    CRITICAL_SECTION lock_;
    std::vector<SeenBox> boxes_;
    std::vector<SeenMenu> menus_;
};

#endif
