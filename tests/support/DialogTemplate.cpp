#include "support/DialogTemplate.h"

namespace testing_support {

void DialogTemplate::Word(WORD w) { m_words.push_back(w); }

void DialogTemplate::Text(const wchar_t* s) {
    for (; *s; ++s) Word(WORD(*s));
    Word(0);
}

void DialogTemplate::Align() {
    if (m_words.size() % 2) Word(0);  // DWORD alignment of items
}

DialogTemplate::DialogTemplate(const wchar_t* title, short width, short height, DWORD style) {
    Word(LOWORD(style)); Word(HIWORD(style));
    Word(0); Word(0);            // extended style
    m_countIndex = m_words.size();
    Word(0);                     // item count
    Word(0); Word(0); Word(WORD(width)); Word(WORD(height));
    Word(0); Word(0);            // no menu, default class
    Text(title);
    if (style & DS_SETFONT) { Word(9); Text(L"Tahoma"); }
}

DialogTemplate& DialogTemplate::Add(const wchar_t* className, const wchar_t* text, WORD id, short x,
                                    short y, short cx, short cy, DWORD style) {
    Align();
    Word(LOWORD(style)); Word(HIWORD(style));
    Word(0); Word(0);
    Word(WORD(x)); Word(WORD(y)); Word(WORD(cx)); Word(WORD(cy));
    Word(id);
    Text(className);
    Text(text);
    Word(0);                     // no creation data
    ++m_words[m_countIndex];
    return *this;
}

const DLGTEMPLATE* DialogTemplate::Get() {
    return reinterpret_cast<const DLGTEMPLATE*>(m_words.data());
}

} // namespace testing_support
