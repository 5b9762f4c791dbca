// FNV-1a, 64 bits: a short, fixed fingerprint of a text (names made from a
// path, whether a file changed since it was read). Not a defence against
// anyone who chooses the text.
#pragma once

#include <cstdint>
#include <string_view>

namespace koyomi {

constexpr std::uint64_t Fnv1a(std::string_view bytes)
{
    constexpr std::uint64_t kOffsetBasis = 14695981039346656037ULL;
    constexpr std::uint64_t kPrime = 1099511628211ULL;
    std::uint64_t hash = kOffsetBasis;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= kPrime;
    }
    return hash;
}

// The value for the empty text and for "a", as the algorithm's authors give them.
static_assert(Fnv1a("") == 0xcbf29ce484222325ULL);
static_assert(Fnv1a("a") == 0xaf63dc4c8601ec8cULL);

} // namespace koyomi
