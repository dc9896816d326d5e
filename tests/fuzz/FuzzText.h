// Turns a fuzzer's bytes into the program's UTF-16 text. The bytes are read as UTF-8 so that
// seeds and dictionaries stay readable, but leniently: a three-byte form may carry any 16-bit
// unit (lone surrogates included), a four-byte form becomes a surrogate pair, and any other
// byte stands for itself. Every value stays within 16 bits, as wchar_t is on Windows.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

inline std::wstring Text(const std::uint8_t* data, std::size_t size) {
    std::wstring out;
    out.reserve(size);
    std::size_t i = 0;
    while (i < size) {
        const std::uint8_t b = data[i];
        auto cont = [&](std::size_t k) { return i + k < size && (data[i + k] & 0xC0) == 0x80; };
        if (b >= 0xC0 && b < 0xE0 && cont(1)) {
            out.push_back(wchar_t(((b & 0x1F) << 6) | (data[i + 1] & 0x3F)));
            i += 2;
        } else if (b >= 0xE0 && b < 0xF0 && cont(1) && cont(2)) {
            out.push_back(wchar_t(((b & 0x0F) << 12) | ((data[i + 1] & 0x3F) << 6) | (data[i + 2] & 0x3F)));
            i += 3;
        } else if (b >= 0xF0 && b < 0xF8 && cont(1) && cont(2) && cont(3)) {
            std::uint32_t cp = ((b & 0x07u) << 18) | ((data[i + 1] & 0x3Fu) << 12) | ((data[i + 2] & 0x3Fu) << 6) |
                               (data[i + 3] & 0x3Fu);
            cp = 0x10000 + (cp & 0xFFFFF);
            out.push_back(wchar_t(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(wchar_t(0xDC00 + ((cp - 0x10000) & 0x3FF)));
            i += 4;
        } else {
            out.push_back(wchar_t(b));
            i += 1;
        }
    }
    return out;
}

// A property of the code under test did not hold: abort so that libFuzzer keeps the input.
#define FUZZ_CHECK(cond)                                                                   \
    do {                                                                                   \
        if (!(cond)) {                                                                     \
            std::fprintf(stderr, "FUZZ_CHECK failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__); \
            std::abort();                                                                  \
        }                                                                                  \
    } while (0)

} // namespace fuzz
