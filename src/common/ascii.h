// ASCII letter case, as the registry, the C runtime's _stricmp in its default
// locale and the game's console compare names: only A to Z fold; every other
// character, bytes of 0x80 and above and UTF-16 units included, stands for itself.
#pragma once

#include <cstddef>
#include <string_view>
#include <type_traits>

template <class Char>
constexpr Char LowerAscii(Char c) noexcept {
    return (c >= Char('A') && c <= Char('Z')) ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}

// The lower-case letter as a code of its own: a byte as its unsigned value, never
// sign-extended, so that texts of different character types can be compared.
template <class Char>
constexpr char32_t FoldAscii(Char c) noexcept {
    return static_cast<char32_t>(static_cast<std::make_unsigned_t<Char>>(LowerAscii(c)));
}

// Both texts of one length and equal but for ASCII letter case; the two may be of
// different character types (a UTF-16 name against an ASCII one).
template <class A, class B>
constexpr bool EqualIgnoringAsciiCase(std::basic_string_view<A> a, std::basic_string_view<B> b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

constexpr bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) noexcept {
    return EqualIgnoringAsciiCase<char, char>(a, b);
}
