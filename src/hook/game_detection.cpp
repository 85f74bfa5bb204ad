#include "hook/game_detection.h"

#include <cstddef>

#include "common/ascii.h"

namespace {

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
    return EqualIgnoringAsciiCase(argument.substr(0, kCZeroMarker.size()), kCZeroMarker);
}

}  // namespace

bool IsGameExecutable(std::string_view fileName) noexcept {
    switch (fileName.size()) {
        case kCStrike.size(): return EqualIgnoringAsciiCase(fileName, kCStrike);
        case kCZero.size(): return EqualIgnoringAsciiCase(fileName, kCZero);
        case kHl.size(): return EqualIgnoringAsciiCase(fileName, kHl);
        default: return false;
    }
}

GameFolder DecideGameFolder(std::string_view moduleFileName,
                            std::span<const std::string> arguments) noexcept {
    if (EqualIgnoringAsciiCase(moduleFileName, kCStrike)) return GameFolder::cstrike;
    if (EqualIgnoringAsciiCase(moduleFileName, kCZero)) return GameFolder::czero;
    // Every argument counts wherever it stands; no -game switch is looked for.
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (BeginsWithMarker(arguments[i])) return GameFolder::czero;
    }
    return GameFolder::cstrike;
}
