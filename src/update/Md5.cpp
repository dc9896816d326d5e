#include "update/Md5.h"

#include <cstring>

namespace update {

namespace {

inline std::uint32_t Rotl(std::uint32_t x, int s) { return (x << s) | (x >> (32 - s)); }

// Little-endian word i of a block, whatever the machine's alignment rules.
inline std::uint32_t Word(const std::uint8_t* p, int i) {
    p += 4 * i;
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

// The four auxiliary functions, in the forms that need the fewest operations.
#define MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define MD5_G(x, y, z) ((y) ^ ((z) & ((x) ^ (y))))
#define MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))
#define MD5_STEP(f, a, b, c, d, x, t, s) \
    (a) += f((b), (c), (d)) + (x) + (t);  \
    (a) = Rotl((a), (s)) + (b)

} // namespace

Md5::Md5() : m_state{0x67452301u, 0xefcdab89u, 0x98badcfeu, 0x10325476u}, m_buffer{} {}

void Md5::Blocks(const std::uint8_t* p, std::size_t count) {
    std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
    for (; count; --count, p += 64) {
        const std::uint32_t x0 = Word(p, 0), x1 = Word(p, 1), x2 = Word(p, 2), x3 = Word(p, 3),
                            x4 = Word(p, 4), x5 = Word(p, 5), x6 = Word(p, 6), x7 = Word(p, 7),
                            x8 = Word(p, 8), x9 = Word(p, 9), x10 = Word(p, 10), x11 = Word(p, 11),
                            x12 = Word(p, 12), x13 = Word(p, 13), x14 = Word(p, 14), x15 = Word(p, 15);
        const std::uint32_t sa = a, sb = b, sc = c, sd = d;

        MD5_STEP(MD5_F, a, b, c, d, x0, 0xd76aa478u, 7);
        MD5_STEP(MD5_F, d, a, b, c, x1, 0xe8c7b756u, 12);
        MD5_STEP(MD5_F, c, d, a, b, x2, 0x242070dbu, 17);
        MD5_STEP(MD5_F, b, c, d, a, x3, 0xc1bdceeeu, 22);
        MD5_STEP(MD5_F, a, b, c, d, x4, 0xf57c0fafu, 7);
        MD5_STEP(MD5_F, d, a, b, c, x5, 0x4787c62au, 12);
        MD5_STEP(MD5_F, c, d, a, b, x6, 0xa8304613u, 17);
        MD5_STEP(MD5_F, b, c, d, a, x7, 0xfd469501u, 22);
        MD5_STEP(MD5_F, a, b, c, d, x8, 0x698098d8u, 7);
        MD5_STEP(MD5_F, d, a, b, c, x9, 0x8b44f7afu, 12);
        MD5_STEP(MD5_F, c, d, a, b, x10, 0xffff5bb1u, 17);
        MD5_STEP(MD5_F, b, c, d, a, x11, 0x895cd7beu, 22);
        MD5_STEP(MD5_F, a, b, c, d, x12, 0x6b901122u, 7);
        MD5_STEP(MD5_F, d, a, b, c, x13, 0xfd987193u, 12);
        MD5_STEP(MD5_F, c, d, a, b, x14, 0xa679438eu, 17);
        MD5_STEP(MD5_F, b, c, d, a, x15, 0x49b40821u, 22);

        MD5_STEP(MD5_G, a, b, c, d, x1, 0xf61e2562u, 5);
        MD5_STEP(MD5_G, d, a, b, c, x6, 0xc040b340u, 9);
        MD5_STEP(MD5_G, c, d, a, b, x11, 0x265e5a51u, 14);
        MD5_STEP(MD5_G, b, c, d, a, x0, 0xe9b6c7aau, 20);
        MD5_STEP(MD5_G, a, b, c, d, x5, 0xd62f105du, 5);
        MD5_STEP(MD5_G, d, a, b, c, x10, 0x02441453u, 9);
        MD5_STEP(MD5_G, c, d, a, b, x15, 0xd8a1e681u, 14);
        MD5_STEP(MD5_G, b, c, d, a, x4, 0xe7d3fbc8u, 20);
        MD5_STEP(MD5_G, a, b, c, d, x9, 0x21e1cde6u, 5);
        MD5_STEP(MD5_G, d, a, b, c, x14, 0xc33707d6u, 9);
        MD5_STEP(MD5_G, c, d, a, b, x3, 0xf4d50d87u, 14);
        MD5_STEP(MD5_G, b, c, d, a, x8, 0x455a14edu, 20);
        MD5_STEP(MD5_G, a, b, c, d, x13, 0xa9e3e905u, 5);
        MD5_STEP(MD5_G, d, a, b, c, x2, 0xfcefa3f8u, 9);
        MD5_STEP(MD5_G, c, d, a, b, x7, 0x676f02d9u, 14);
        MD5_STEP(MD5_G, b, c, d, a, x12, 0x8d2a4c8au, 20);

        MD5_STEP(MD5_H, a, b, c, d, x5, 0xfffa3942u, 4);
        MD5_STEP(MD5_H, d, a, b, c, x8, 0x8771f681u, 11);
        MD5_STEP(MD5_H, c, d, a, b, x11, 0x6d9d6122u, 16);
        MD5_STEP(MD5_H, b, c, d, a, x14, 0xfde5380cu, 23);
        MD5_STEP(MD5_H, a, b, c, d, x1, 0xa4beea44u, 4);
        MD5_STEP(MD5_H, d, a, b, c, x4, 0x4bdecfa9u, 11);
        MD5_STEP(MD5_H, c, d, a, b, x7, 0xf6bb4b60u, 16);
        MD5_STEP(MD5_H, b, c, d, a, x10, 0xbebfbc70u, 23);
        MD5_STEP(MD5_H, a, b, c, d, x13, 0x289b7ec6u, 4);
        MD5_STEP(MD5_H, d, a, b, c, x0, 0xeaa127fau, 11);
        MD5_STEP(MD5_H, c, d, a, b, x3, 0xd4ef3085u, 16);
        MD5_STEP(MD5_H, b, c, d, a, x6, 0x04881d05u, 23);
        MD5_STEP(MD5_H, a, b, c, d, x9, 0xd9d4d039u, 4);
        MD5_STEP(MD5_H, d, a, b, c, x12, 0xe6db99e5u, 11);
        MD5_STEP(MD5_H, c, d, a, b, x15, 0x1fa27cf8u, 16);
        MD5_STEP(MD5_H, b, c, d, a, x2, 0xc4ac5665u, 23);

        MD5_STEP(MD5_I, a, b, c, d, x0, 0xf4292244u, 6);
        MD5_STEP(MD5_I, d, a, b, c, x7, 0x432aff97u, 10);
        MD5_STEP(MD5_I, c, d, a, b, x14, 0xab9423a7u, 15);
        MD5_STEP(MD5_I, b, c, d, a, x5, 0xfc93a039u, 21);
        MD5_STEP(MD5_I, a, b, c, d, x12, 0x655b59c3u, 6);
        MD5_STEP(MD5_I, d, a, b, c, x3, 0x8f0ccc92u, 10);
        MD5_STEP(MD5_I, c, d, a, b, x10, 0xffeff47du, 15);
        MD5_STEP(MD5_I, b, c, d, a, x1, 0x85845dd1u, 21);
        MD5_STEP(MD5_I, a, b, c, d, x8, 0x6fa87e4fu, 6);
        MD5_STEP(MD5_I, d, a, b, c, x15, 0xfe2ce6e0u, 10);
        MD5_STEP(MD5_I, c, d, a, b, x6, 0xa3014314u, 15);
        MD5_STEP(MD5_I, b, c, d, a, x13, 0x4e0811a1u, 21);
        MD5_STEP(MD5_I, a, b, c, d, x4, 0xf7537e82u, 6);
        MD5_STEP(MD5_I, d, a, b, c, x11, 0xbd3af235u, 10);
        MD5_STEP(MD5_I, c, d, a, b, x2, 0x2ad7d2bbu, 15);
        MD5_STEP(MD5_I, b, c, d, a, x9, 0xeb86d391u, 21);

        a += sa;
        b += sb;
        c += sc;
        d += sd;
    }
    m_state[0] = a;
    m_state[1] = b;
    m_state[2] = c;
    m_state[3] = d;
}

void Md5::Update(const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    m_length += size;
    if (m_buffered) {
        const std::size_t take = size < 64 - m_buffered ? size : 64 - m_buffered;
        std::memcpy(m_buffer + m_buffered, p, take);
        m_buffered += take;
        p += take;
        size -= take;
        if (m_buffered < 64) return;
        Blocks(m_buffer, 1);
        m_buffered = 0;
    }
    if (size >= 64) {
        Blocks(p, size / 64);
        p += size & ~std::size_t(63);
        size &= 63;
    }
    if (size) {
        std::memcpy(m_buffer, p, size);
        m_buffered = size;
    }
}

std::array<std::uint8_t, 16> Md5::Final() {
    // Padding: one 0x80 byte, zeros up to 56 bytes modulo 64, then the bit length.
    const std::uint64_t bits = m_length * 8;
    std::uint8_t pad[72] = {0x80};
    const std::size_t padLen = (m_buffered < 56 ? 56 : 120) - m_buffered;
    for (int i = 0; i < 8; ++i) pad[padLen + i] = std::uint8_t(bits >> (8 * i));
    Update(pad, padLen + 8);
    std::array<std::uint8_t, 16> digest{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) digest[4 * i + j] = std::uint8_t(m_state[i] >> (8 * j));
    return digest;
}

std::wstring HexLower(const std::uint8_t* bytes, std::size_t count) {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring out;
    out.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

std::wstring Md5Hex(const void* data, std::size_t size) {
    Md5 md5;
    md5.Update(data, size);
    const auto digest = md5.Final();
    return HexLower(digest.data(), digest.size());
}

} // namespace update
