#include "hotkeys/KeyNames.h"

#include <cwchar>

namespace hotkeys {

namespace {

struct Named {
    int vk;
    const wchar_t* name;
};

// Keys whose name is not simply their character.
constexpr Named kNames[] = {
    {8, L"Back"},        {9, L"Tab"},          {13, L"Enter"},     {16, L"Shift"},      {17, L"Ctrl"},
    {18, L"Alt"},        {19, L"Pause Break"}, {20, L"Caps"},      {27, L"Esc"},        {33, L"Page Up"},
    {34, L"Page Down"},  {35, L"End"},         {36, L"Home"},      {37, L"Left"},       {38, L"Up"},
    {39, L"Right"},      {40, L"Down"},        {45, L"Insert"},    {46, L"Del"},        {91, L"LWin"},
    {92, L"RWin"},       {106, L"Num *"},      {107, L"Num +"},    {109, L"Num -"},     {110, L"Num Del"},
    {111, L"Num /"},     {144, L"Num Lock"},   {145, L"Scroll Lock"}, {186, L";"},      {187, L"+"},
    {188, L","},         {189, L"-"},          {190, L"."},        {191, L"/"},         {192, L"`"},
    {219, L"["},         {220, L"\\"},         {221, L"]"},        {222, L"'"},
};

void Copy(wchar_t* buffer, const wchar_t* text) {
    int i = 0;
    for (; text[i] && i < kKeyNameChars - 1; ++i) buffer[i] = text[i];
    buffer[i] = L'\0';
}

} // namespace

wchar_t* KeyName(wchar_t* buffer, int vk) {
    if (!buffer) return nullptr;
    buffer[0] = L'\0';
    if (vk <= 0 || vk > 255) return buffer;
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) {
        buffer[0] = static_cast<wchar_t>(vk);
        buffer[1] = L'\0';
    } else if (vk >= 96 && vk <= 105) {
        std::swprintf(buffer, kKeyNameChars, L"Num %d", vk - 96);
    } else if (vk >= 112 && vk <= 123) {
        std::swprintf(buffer, kKeyNameChars, L"F%d", vk - 111);
    } else {
        for (const Named& n : kNames)
            if (n.vk == vk) Copy(buffer, n.name);
    }
    return buffer;
}

std::wstring FormatHotKey(int key, int modifiers) {
    if (key == 0) return L"无";
    std::wstring text;
    if (modifiers & 2) text += L"Ctrl  +  ";
    if (modifiers & 4) text += L"Shift  +  ";
    if (modifiers & 1) text += L"Alt  +  ";
    wchar_t name[kKeyNameChars];
    return text + KeyName(name, key);
}

bool IsHotKeyMainKey(int vk) {
    return vk == 20 || (vk >= 33 && vk <= 40) || vk == 45 || (vk >= 48 && vk <= 57) || (vk >= 65 && vk <= 90) ||
           (vk >= 96 && vk <= 107) || (vk >= 109 && vk <= 111) || (vk >= 112 && vk <= 122) || vk == 144 ||
           (vk >= 186 && vk <= 192) || (vk >= 219 && vk <= 222);
}

} // namespace hotkeys
