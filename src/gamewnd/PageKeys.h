// Key rules that the main window and the page process both apply. No Windows header.
#pragma once
#include <cstdint>

namespace pagekeys {

// Ctrl+D as a character message: the character 4 whose key data (the upper 16 bits of the
// message's lParam) is the D key's scan code alone, with no extended, context, previous-state
// or transition bit.
constexpr bool IsCtrlDChar(std::uintptr_t character, unsigned keyData) { return character == 4 && keyData == 0x0020; }

} // namespace pagekeys
