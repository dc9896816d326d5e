#include "gamewnd/KeyboardHook.h"
#include "hotkeys/HotKeyStore.h"

namespace keyhook {

namespace {

// Touched only on the installing thread: the hook procedure runs there.
HHOOK g_hook = nullptr;
HWND g_target = nullptr;
UINT g_message = 0;
hotkeys::HotKey g_boss;
hotkeys::HotKey g_sound;
hotkeys::PressLatch g_latch;

LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const bool down = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
        const bool up = wParam == WM_KEYUP || wParam == WM_SYSKEYUP;
        if (down || up) {
            const int modifiers = down ? hotkeys::PhysicalModifiers() : 0;
            const WPARAM which = OnKeyEvent(down, static_cast<int>(event->vkCode), modifiers);
            if (which && g_target) PostMessageW(g_target, g_message, which, 0);
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

} // namespace

bool Install(HWND target, UINT message) {
    Remove();
    g_target = target;
    g_message = message;
    g_latch = hotkeys::PressLatch();
    g_hook = SetWindowsHookExW(WH_KEYBOARD_LL, HookProc, GetModuleHandleW(nullptr), 0);
    return g_hook != nullptr;
}

void Remove() {
    if (g_hook) UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
    g_target = nullptr;
}

bool Installed() { return g_hook != nullptr; }

void SetKeys(const hotkeys::HotKey& boss, const hotkeys::HotKey& sound) {
    g_boss = boss;
    g_sound = sound;
}

WPARAM OnKeyEvent(bool keyDown, int vk, int modifiers) {
    if (!keyDown) {
        g_latch.KeyUp(vk);
        return 0;
    }
    if (!g_latch.KeyDown(vk)) return 0;
    if (hotkeys::HotKeyMatches(g_boss, vk, modifiers)) return kBossKeyPressed;
    if (hotkeys::HotKeyMatches(g_sound, vk, modifiers)) return kSoundKeyPressed;
    return 0;
}

} // namespace keyhook
