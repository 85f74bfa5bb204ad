#include "chatbox/file_error.h"

#include <algorithm>
#include <array>

#include "common/utf8.h"

namespace {

struct CodeCause {
    std::uint16_t code;
    FileErrorCause cause;
};

using C = FileErrorCause;

// Win32 system error codes, sorted by code, and the class each belongs to.
constexpr std::array kCodeCauses{
    CodeCause{2, C::notFound},          CodeCause{3, C::badPath},
    CodeCause{4, C::tooManyOpenFiles},  CodeCause{5, C::accessDenied},
    CodeCause{6, C::notFound},          CodeCause{11, C::invalidFile},
    CodeCause{12, C::accessDenied},     CodeCause{15, C::badPath},
    CodeCause{16, C::removeCurrentDir}, CodeCause{17, C::badPath},
    CodeCause{18, C::notFound},         CodeCause{19, C::accessDenied},
    CodeCause{20, C::hardIO},           CodeCause{21, C::hardIO},
    CodeCause{22, C::hardIO},           CodeCause{23, C::hardIO},
    CodeCause{24, C::badSeek},          CodeCause{25, C::badSeek},
    CodeCause{26, C::invalidFile},      CodeCause{27, C::badSeek},
    CodeCause{29, C::accessDenied},     CodeCause{30, C::badSeek},
    CodeCause{32, C::sharingViolation}, CodeCause{33, C::lockViolation},
    CodeCause{34, C::badPath},          CodeCause{36, C::tooManyOpenFiles},
    CodeCause{38, C::endOfFile},        CodeCause{39, C::diskFull},
    CodeCause{52, C::badPath},          CodeCause{53, C::badPath},
    CodeCause{54, C::accessDenied},     CodeCause{55, C::badPath},
    CodeCause{57, C::hardIO},           CodeCause{58, C::accessDenied},
    CodeCause{59, C::hardIO},           CodeCause{60, C::invalidFile},
    CodeCause{62, C::directoryFull},    CodeCause{64, C::accessDenied},
    CodeCause{65, C::accessDenied},     CodeCause{66, C::invalidFile},
    CodeCause{67, C::badPath},          CodeCause{68, C::tooManyOpenFiles},
    CodeCause{70, C::badPath},          CodeCause{71, C::accessDenied},
    CodeCause{80, C::accessDenied},     CodeCause{82, C::accessDenied},
    CodeCause{85, C::badPath},          CodeCause{86, C::accessDenied},
    CodeCause{88, C::hardIO},           CodeCause{107, C::notFound},
    CodeCause{108, C::lockViolation},   CodeCause{111, C::badPath},
    CodeCause{112, C::diskFull},        CodeCause{113, C::tooManyOpenFiles},
    CodeCause{114, C::invalidFile},     CodeCause{117, C::hardIO},
    CodeCause{123, C::badPath},         CodeCause{124, C::badPath},
    CodeCause{125, C::badPath},         CodeCause{131, C::badSeek},
    CodeCause{132, C::badSeek},         CodeCause{144, C::badPath},
    CodeCause{145, C::removeCurrentDir}, CodeCause{154, C::badPath},
    CodeCause{161, C::badPath},         CodeCause{167, C::lockViolation},
    CodeCause{170, C::accessDenied},    CodeCause{182, C::invalidFile},
    CodeCause{183, C::accessDenied},    CodeCause{191, C::invalidFile},
    CodeCause{193, C::invalidFile},     CodeCause{206, C::badPath},
    CodeCause{208, C::badPath},         CodeCause{267, C::badPath},
    CodeCause{995, C::hardIO},          CodeCause{996, C::hardIO},
    CodeCause{997, C::hardIO},          CodeCause{999, C::accessDenied},
};

static_assert(std::is_sorted(kCodeCauses.begin(), kCodeCauses.end(),
                             [](const CodeCause& a, const CodeCause& b) { return a.code < b.code; }));

constexpr std::array<std::string_view, 14> kCauseTexts{
    "An unknown error occurred while accessing %1.",
    "%1 was not found.",
    "%1 contains an invalid path.",
    "%1 could not be opened because there are too many open files.",
    "Access to %1 was denied.",
    "An invalid file handle was associated with %1.",
    "%1 could not be removed because it is the current directory.",
    "%1 could not be created because the directory is full.",
    "Seek failed on %1",
    "A hardware I/O error was reported while accessing %1.",
    "A sharing violation occurred while accessing %1.",
    "A locking violation occurred while accessing %1.",
    "Disk full while accessing %1.",
    "An attempt was made to access %1 past its end.",
};

}  // namespace

FileErrorCause CauseForSystemError(std::uint32_t code) noexcept {
    const auto it = std::lower_bound(
        kCodeCauses.begin(), kCodeCauses.end(), code,
        [](const CodeCause& entry, std::uint32_t wanted) { return entry.code < wanted; });
    return it != kCodeCauses.end() && it->code == code ? it->cause : FileErrorCause::generic;
}

std::string_view FileErrorCauseText(FileErrorCause cause) noexcept {
    const int index = static_cast<int>(cause) - 1;
    if (index < 0 || index >= static_cast<int>(kCauseTexts.size())) return kCauseTexts[0];
    return kCauseTexts[static_cast<std::size_t>(index)];
}

std::string ReplaceFileNameMarks(std::string_view text, std::string_view fileName,
                                 std::size_t limit) {
    std::string message;
    std::size_t from = 0;
    // Stop copying once the limit is passed: a very long file name costs no more.
    while (from < text.size() && message.size() <= limit) {
        const std::size_t mark = text.find("%1", from);
        message.append(text.substr(from, mark - from));
        if (mark == std::string_view::npos) break;
        message.append(fileName);
        from = mark + 2;
    }
    // Cut between characters: half a character would show as a replacement mark.
    if (message.size() > limit) message.resize(Utf8PrefixLength(message, limit));
    return message;
}

std::string FormatFileErrorMessage(const FileError& error) {
    return ReplaceFileNameMarks(FileErrorCauseText(error.cause), error.fileName,
                                kFileErrorMessageLimit);
}
