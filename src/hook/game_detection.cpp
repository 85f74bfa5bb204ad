#include "hook/game_detection.h"

#include <cstddef>

namespace {

constexpr unsigned char FoldAscii(unsigned char c) noexcept {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Only the 26 ASCII capitals fold; bytes of 0x80 and above compare as they are,
// as the C runtime's _stricmp does in its default locale.
bool EqualFoldingAscii(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(static_cast<unsigned char>(a[i])) != FoldAscii(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

constexpr std::string_view kCStrike = "CStrike.exe";
constexpr std::string_view kCZero = "CZero.exe";
constexpr std::string_view kHl = "HL.exe";
constexpr std::string_view kCZeroMarker = "czero";

// The runtime compares the first five bytes multibyte-aware (_mbsnbicmp). Because
// every byte of the marker is ASCII, a double-byte character within those five
// bytes has a lead byte of 0x80 or above that no marker byte equals, so comparing
// the five bytes one by one gives exactly the multibyte answer.
bool BeginsWithMarker(std::string_view argument) noexcept {
    if (argument.size() < kCZeroMarker.size()) return false;
    return EqualFoldingAscii(argument.substr(0, kCZeroMarker.size()), kCZeroMarker);
}

}  // namespace

bool IsGameExecutable(std::string_view fileName) noexcept {
    switch (fileName.size()) {
        case kCStrike.size(): return EqualFoldingAscii(fileName, kCStrike);
        case kCZero.size(): return EqualFoldingAscii(fileName, kCZero);
        case kHl.size(): return EqualFoldingAscii(fileName, kHl);
        default: return false;
    }
}

GameFolder DecideGameFolder(std::string_view moduleFileName,
                            std::span<const std::string> arguments) noexcept {
    if (EqualFoldingAscii(moduleFileName, kCStrike)) return GameFolder::cstrike;
    if (EqualFoldingAscii(moduleFileName, kCZero)) return GameFolder::czero;
    // Every argument counts wherever it stands; no -game switch is looked for.
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (BeginsWithMarker(arguments[i])) return GameFolder::czero;
    }
    return GameFolder::cstrike;
}
