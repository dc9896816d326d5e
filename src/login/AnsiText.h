// Text through the system's ANSI code page, as the operator's pages expect for LOGIN.
#pragma once
#include <string>
#include <string_view>

std::string ToSystemAnsi(std::wstring_view text);
