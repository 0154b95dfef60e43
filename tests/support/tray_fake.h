// A stand-in for Shell_NotifyIconA that answers from a script and records
// each call with what the shell would have been shown, plus readers for the
// tray menu and for icon pixels. Header only.
#ifndef SORRELWICK_TESTS_TRAY_FAKE_H
#define SORRELWICK_TESTS_TRAY_FAKE_H

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "resources/resource.h"
#include "shell/appstate.h"
#include "shell/seams.h"
#include "tests/support/child_process.h"

struct NotifyResult {
    BOOL ok;
    DWORD error;  // the last error left behind on failure
};

// Pixels of an icon as 32-bit rows, with its size; empty for no icon.
struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<BYTE> pixels;
};

inline IconImage ReadIcon(HICON icon)
{
    IconImage image;
    ICONINFO info;
    if (icon == NULL || !GetIconInfo(icon, &info))
        return image;
    HBITMAP bits = info.hbmColor != NULL ? info.hbmColor : info.hbmMask;
    BITMAP bm;
    if (GetObjectA(bits, sizeof(bm), &bm) == sizeof(bm)) {
        image.width = bm.bmWidth;
        image.height = bm.bmHeight;
        BITMAPINFO bi;
        ZeroMemory(&bi, sizeof(bi));
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = bm.bmWidth;
        bi.bmiHeader.biHeight = bm.bmHeight;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        image.pixels.resize((size_t)bm.bmWidth * bm.bmHeight * 4);
        HDC dc = GetDC(NULL);
        GetDIBits(dc, bits, 0, bm.bmHeight, image.pixels.data(), &bi, DIB_RGB_COLORS);
        ReleaseDC(NULL, dc);
    }
    if (info.hbmColor != NULL)
        DeleteObject(info.hbmColor);
    if (info.hbmMask != NULL)
        DeleteObject(info.hbmMask);
    return image;
}

// Sorrelwick.exe beside the test program, loaded for its resources only, so
// that tests can give app.instance the real icons 1 to 3.
inline HMODULE ProductResources()
{
    static HMODULE module;
    if (module == NULL) {
        std::string path = TestProgramDir() + "\\Sorrelwick.exe";
        module = LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    }
    return module;
}

// Icon resource `id` of the product as the tray should show it (16 x 16).
inline IconImage ProductIcon(int id)
{
    HICON icon = (HICON)LoadImageA(ProductResources(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16,
                                   LR_DEFAULTCOLOR);
    IconImage image = ReadIcon(icon);
    if (icon != NULL)
        DestroyIcon(icon);
    return image;
}

struct NotifyCall {
    DWORD message;
    NOTIFYICONDATAA record;
    HMENU menu;        // app.trayMenu at the time of the call
    int menuItems;     // its item count; -1 when it was no live menu
    IconImage icon;    // read while the handle was still alive
    DWORD tick;
};

inline std::vector<NotifyResult> &NotifyScript()  // answers in order; then success
{
    static std::vector<NotifyResult> script;
    return script;
}

inline std::vector<NotifyCall> &NotifyCalls()
{
    static std::vector<NotifyCall> calls;
    return calls;
}

inline BOOL WINAPI FakeShellNotifyIcon(DWORD message, PNOTIFYICONDATAA data)
{
    NotifyCall call;
    call.message = message;
    call.record = *data;
    call.menu = app.trayMenu;
    call.menuItems = IsMenu(app.trayMenu) ? GetMenuItemCount(app.trayMenu) : -1;
    call.icon = ReadIcon(data->hIcon);
    call.tick = GetTickCount();
    size_t index = NotifyCalls().size();
    NotifyCalls().push_back(call);
    NotifyResult result = {TRUE, 0};
    if (index < NotifyScript().size())
        result = NotifyScript()[index];
    SetLastError(result.ok ? 0 : result.error);
    return result.ok;
}

// Replaces the shell with the fake; every call succeeds until scripted.
inline void UseFakeShell(const std::vector<NotifyResult> &script = {})
{
    NotifyScript() = script;
    NotifyCalls().clear();
    pShellNotifyIconA = FakeShellNotifyIcon;
}

inline std::vector<DWORD> NotifyMessages()
{
    std::vector<DWORD> messages;
    for (const NotifyCall &call : NotifyCalls())
        messages.push_back(call.message);
    return messages;
}

struct MenuItemSeen {
    UINT id;
    UINT type;
    UINT state;
    std::string text;
};

inline std::vector<MenuItemSeen> ReadMenu(HMENU menu)
{
    std::vector<MenuItemSeen> items;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; i++) {
        MENUITEMINFOA info;
        ZeroMemory(&info, sizeof(info));
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        char text[256] = "";
        GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
        items.push_back({info.wID, info.fType, info.fState, text});
    }
    return items;
}

// Everything the record handed to the shell shows for a state.
inline void ExpectTrayRecord(const NotifyCall &call, HWND owner, bool on)
{
    const NOTIFYICONDATAA &r = call.record;
    EXPECT_EQ(88u, r.cbSize);
    EXPECT_EQ(owner, r.hWnd);
    EXPECT_EQ(1u, r.uID);
    EXPECT_EQ(7u, r.uFlags);
    EXPECT_EQ(32868u, r.uCallbackMessage);
    EXPECT_EQ(on ? "Sorrelwick : ON" : "Sorrelwick : OFF", std::string(r.szTip));
    IconImage expected = ProductIcon(on ? IDI_ON : IDI_OFF);
    ASSERT_FALSE(expected.pixels.empty()) << "the product's icons cannot be read";
    EXPECT_EQ(16, call.icon.width);
    EXPECT_EQ(16, call.icon.height);
    EXPECT_TRUE(expected.pixels == call.icon.pixels) << (on ? "not the ON icon" : "not the OFF icon");
}

// Check marks by command, the bold default item by position.
inline void ExpectMenuShows(HMENU menu, bool on)
{
    ASSERT_TRUE(IsMenu(menu));
    EXPECT_EQ(on ? UINT(MF_CHECKED) : 0u, GetMenuState(menu, IDM_ON, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(on ? 0u : UINT(MF_CHECKED), GetMenuState(menu, IDM_OFF, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(on ? 0u : 1u, GetMenuDefaultItem(menu, TRUE, 0));
}

// Leaves no quit request behind for the next test; true if there was one.
inline bool TakeQuitRequest()
{
    MSG msg;
    bool found = false;
    while (PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE))
        found = msg.wParam == 0;
    return found;
}

#endif
