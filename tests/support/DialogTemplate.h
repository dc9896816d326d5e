// Builds small dialog templates in memory for tests of dialog code.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace testing_support {

class DialogTemplate {
public:
    DialogTemplate(const wchar_t* title, short width, short height,
                   DWORD style = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    // Adds a control of a predefined class ("BUTTON", "EDIT", "STATIC" ...).
    DialogTemplate& Add(const wchar_t* className, const wchar_t* text, WORD id, short x, short y,
                        short cx, short cy, DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP);
    const DLGTEMPLATE* Get();

private:
    void Align();
    void Word(WORD w);
    void Text(const wchar_t* s);
    std::vector<WORD> m_words;
    size_t m_countIndex = 0;
};

} // namespace testing_support
