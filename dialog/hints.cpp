// Tooltips over the settings dialog's value boxes, captured indicators and
// Delete button. The boxes' hints live on transparent overlay statics, which
// are never disabled, so a hint still shows over a disabled box.
#include "dialog/dialog.h"
#include "resources/resource.h"

#include <commctrl.h>
#include <stddef.h>

// The second TOOLINFOA layout, which ends with lParam: 44 bytes on 32-bit
// Windows.
#define TOOL_RECORD_SIZE (offsetof(TOOLINFOA, lParam) + sizeof(LPARAM))
#ifndef _WIN64
static_assert(TOOL_RECORD_SIZE == 44, "the 32-bit tool record is 44 bytes");
#endif
#define HINT_MAX_WIDTH 400
#define HINT_DELAY_MS 100

static const char kHintCapturedOff[] = "オリジナルの設定状態は「OFF」です。\nここは変更できません。";

const char kHintMissing[] = "該当レジストリデータが存在しませんでした。";
const char kHintAboveMissing[] = "上記の該当レジストリデータが存在しませんので、無効にしました。";
const char kHintCapturedOn[] = "オリジナルの設定状態は「ON」です。\nここは変更できません。";
const char kHintTickEnablesBelow[] = "ここをチェックすると、下が有効になります。";
const char kHintUntickDisablesBelow[] = "ここのチェックを外すと、下が無効になります。";
const char kHintTickAboveToEnable[] = "ここを有効にするには、上をチェックします。";
const char kHintUntickAboveToDisable[] = "ここを無効にするには、上のチェックを外します。";

const HintDef kHints[HINT_COUNT] = {
    {IDC_WEB_ADDRESSES, IDC_WEB_ADDRESSES_HINT, ""},
    {IDC_WEB_ADDRESSES_CAPTURED, IDC_WEB_ADDRESSES_CAPTURED_HINT, kHintCapturedOff},
    {IDC_FORMS, IDC_FORMS_HINT, ""},
    {IDC_FORMS_CAPTURED, IDC_FORMS_CAPTURED_HINT, kHintCapturedOff},
    {IDC_PASSWORDS, IDC_PASSWORDS_HINT, kHintTickEnablesBelow},
    {IDC_PASSWORDS_CAPTURED, IDC_PASSWORDS_CAPTURED_HINT, kHintCapturedOff},
    {IDC_PW_ASK, IDC_PW_ASK_HINT, kHintTickAboveToEnable},
    {IDC_PW_ASK_CAPTURED, IDC_PW_ASK_CAPTURED_HINT, kHintCapturedOff},
    {IDC_INLINE_WEB, IDC_INLINE_WEB_HINT, ""},
    {IDC_INLINE_WEB_CAPTURED, IDC_INLINE_WEB_CAPTURED_HINT, kHintCapturedOff},
    {IDC_INLINE_EXPLORER, IDC_INLINE_EXPLORER_HINT, ""},
    {IDC_INLINE_EXPLORER_CAPTURED, IDC_INLINE_EXPLORER_CAPTURED_HINT, kHintCapturedOff},
    {IDC_DELETE_BUTTON, IDC_DELETE_BUTTON, "アンインストールです。"},
};

static struct {
    HWND tooltip;
    TOOLINFOA tool;
} hints[HINT_COUNT];

static int FindHint(int toolWindow)
{
    for (int i = 0; i < HINT_COUNT; i++) {
        if (kHints[i].toolWindow == toolWindow)
            return i;
    }
    return -1;
}

void CreateHints(HWND dialog, HINSTANCE instance)
{
    for (int i = 0; i < HINT_COUNT; i++) {
        if (hints[i].tooltip != NULL)
            continue;
        HWND toolWindow = GetDlgItem(dialog, kHints[i].toolWindow);
        hints[i].tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, NULL, TTS_ALWAYSTIP, CW_USEDEFAULT,
                                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, toolWindow,
                                           NULL, instance, NULL);
        TOOLINFOA *tool = &hints[i].tool;
        ZeroMemory(tool, sizeof(*tool));
        tool->cbSize = TOOL_RECORD_SIZE;
        tool->uFlags = TTF_SUBCLASS;
        tool->hwnd = toolWindow;
        GetClientRect(toolWindow, &tool->rect);
        // The tooltip never writes through this pointer.
        tool->lpszText = (LPSTR)kHints[i].defaultText;
        SendMessageA(hints[i].tooltip, TTM_ADDTOOLA, 0, (LPARAM)tool);
        SendMessageA(hints[i].tooltip, TTM_SETMAXTIPWIDTH, 0, HINT_MAX_WIDTH);
        SendMessageA(hints[i].tooltip, TTM_SETDELAYTIME, TTDT_INITIAL, HINT_DELAY_MS);
    }
}

void SetHintText(int toolWindow, const char *text)
{
    int i = FindHint(toolWindow);
    if (i < 0)
        return;
    hints[i].tool.lpszText = (LPSTR)text;
    SendMessageA(hints[i].tooltip, TTM_UPDATETIPTEXTA, 0, (LPARAM)&hints[i].tool);
}

void RemoveHint(int toolWindow)
{
    int i = FindHint(toolWindow);
    if (i < 0 || hints[i].tooltip == NULL)
        return;
    SendMessageA(hints[i].tooltip, TTM_DELTOOLA, 0, (LPARAM)&hints[i].tool);
    DestroyWindow(hints[i].tooltip);
    hints[i].tooltip = NULL;
}

void RemoveAllHints()
{
    for (int i = 0; i < HINT_COUNT; i++)
        RemoveHint(kHints[i].toolWindow);
}

// Clears each overlay's pending update without drawing, so that it never
// paints over the box beneath.
void ValidateOverlays(HWND dialog)
{
    for (int i = 0; i < HINT_COUNT; i++) {
        if (kHints[i].toolWindow == IDC_DELETE_BUTTON)
            continue;
        HWND overlay = GetDlgItem(dialog, kHints[i].toolWindow);
        PAINTSTRUCT paint;
        BeginPaint(overlay, &paint);
        EndPaint(overlay, &paint);
    }
}

HWND HintTooltip(int toolWindow)
{
    int i = FindHint(toolWindow);
    return i < 0 ? NULL : hints[i].tooltip;
}
