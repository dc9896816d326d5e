// The MD5 message digest (RFC 1321), used for the version key of the running executable.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace update {

class Md5 {
public:
    Md5();
    void Update(const void* data, std::size_t size);
    // The 16 digest bytes; the object is finished afterwards (start a new one for more).
    std::array<std::uint8_t, 16> Final();

private:
    void Blocks(const std::uint8_t* data, std::size_t count);

    std::uint32_t m_state[4];
    std::uint64_t m_length = 0;  // bytes taken so far
    std::uint8_t m_buffer[64];
    std::size_t m_buffered = 0;
};

// Lower-case hexadecimal, two characters per byte.
std::wstring HexLower(const std::uint8_t* bytes, std::size_t count);
std::wstring Md5Hex(const void* data, std::size_t size);

} // namespace update
