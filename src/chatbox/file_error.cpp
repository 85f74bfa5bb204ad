#include "chatbox/file_error.h"

#include <algorithm>
#include <iterator>

#include "common/utf8.h"

namespace {

using C = FileErrorCause;

// One 16-bit entry per Win32 system error code: the code in the upper bits, its
// class in the low four. Plain numbers keep the table read-only and free of
// relocations (a table of structs went to writable data, 640 bytes).
constexpr unsigned kCauseBits = 4;
constexpr std::uint16_t Entry(std::uint16_t code, C cause) {
    return static_cast<std::uint16_t>(code << kCauseBits | static_cast<unsigned>(cause));
}

// Sorted by code.
constexpr std::uint16_t kCodeCauses[] = {
    Entry(2, C::notFound), Entry(3, C::badPath), Entry(4, C::tooManyOpenFiles),
    Entry(5, C::accessDenied), Entry(6, C::notFound), Entry(11, C::invalidFile),
    Entry(12, C::accessDenied), Entry(15, C::badPath), Entry(16, C::removeCurrentDir),
    Entry(17, C::badPath), Entry(18, C::notFound), Entry(19, C::accessDenied),
    Entry(20, C::hardIO), Entry(21, C::hardIO), Entry(22, C::hardIO),
    Entry(23, C::hardIO), Entry(24, C::badSeek), Entry(25, C::badSeek),
    Entry(26, C::invalidFile), Entry(27, C::badSeek), Entry(29, C::accessDenied),
    Entry(30, C::badSeek), Entry(32, C::sharingViolation), Entry(33, C::lockViolation),
    Entry(34, C::badPath), Entry(36, C::tooManyOpenFiles), Entry(38, C::endOfFile),
    Entry(39, C::diskFull), Entry(52, C::badPath), Entry(53, C::badPath),
    Entry(54, C::accessDenied), Entry(55, C::badPath), Entry(57, C::hardIO),
    Entry(58, C::accessDenied), Entry(59, C::hardIO), Entry(60, C::invalidFile),
    Entry(62, C::directoryFull), Entry(64, C::accessDenied), Entry(65, C::accessDenied),
    Entry(66, C::invalidFile), Entry(67, C::badPath), Entry(68, C::tooManyOpenFiles),
    Entry(70, C::badPath), Entry(71, C::accessDenied), Entry(80, C::accessDenied),
    Entry(82, C::accessDenied), Entry(85, C::badPath), Entry(86, C::accessDenied),
    Entry(88, C::hardIO), Entry(107, C::notFound), Entry(108, C::lockViolation),
    Entry(111, C::badPath), Entry(112, C::diskFull), Entry(113, C::tooManyOpenFiles),
    Entry(114, C::invalidFile), Entry(117, C::hardIO), Entry(123, C::badPath),
    Entry(124, C::badPath), Entry(125, C::badPath), Entry(131, C::badSeek),
    Entry(132, C::badSeek), Entry(144, C::badPath), Entry(145, C::removeCurrentDir),
    Entry(154, C::badPath), Entry(161, C::badPath), Entry(167, C::lockViolation),
    Entry(170, C::accessDenied), Entry(182, C::invalidFile), Entry(183, C::accessDenied),
    Entry(191, C::invalidFile), Entry(193, C::invalidFile), Entry(206, C::badPath),
    Entry(208, C::badPath), Entry(267, C::badPath), Entry(995, C::hardIO),
    Entry(996, C::hardIO), Entry(997, C::hardIO), Entry(999, C::accessDenied),
};

static_assert(static_cast<unsigned>(C::endOfFile) < (1u << kCauseBits));
static_assert(std::is_sorted(std::begin(kCodeCauses), std::end(kCodeCauses)));

// The texts in the order of the causes, each ended by a zero: one string, no
// table of pointers to relocate.
constexpr char kCauseTexts[] =
    "An unknown error occurred while accessing %1.\0"
    "%1 was not found.\0"
    "%1 contains an invalid path.\0"
    "%1 could not be opened because there are too many open files.\0"
    "Access to %1 was denied.\0"
    "An invalid file handle was associated with %1.\0"
    "%1 could not be removed because it is the current directory.\0"
    "%1 could not be created because the directory is full.\0"
    "Seek failed on %1\0"
    "A hardware I/O error was reported while accessing %1.\0"
    "A sharing violation occurred while accessing %1.\0"
    "A locking violation occurred while accessing %1.\0"
    "Disk full while accessing %1.\0"
    "An attempt was made to access %1 past its end.\0";
constexpr int kCauseCount = static_cast<int>(C::endOfFile);

constexpr int CountEnds() {
    int ends = 0;
    for (const char c : kCauseTexts) ends += c == '\0';
    return ends;
}
// One text per cause, plus the literal's own closing zero.
static_assert(CountEnds() == kCauseCount + 1);

}  // namespace

FileErrorCause CauseForSystemError(std::uint32_t code) noexcept {
    if (code >= 1u << (16 - kCauseBits)) return FileErrorCause::generic;
    const std::uint16_t* const it = std::lower_bound(
        std::begin(kCodeCauses), std::end(kCodeCauses), static_cast<std::uint16_t>(code << kCauseBits));
    return it != std::end(kCodeCauses) && (*it >> kCauseBits) == code
               ? static_cast<FileErrorCause>(*it & ((1u << kCauseBits) - 1))
               : FileErrorCause::generic;
}

std::string_view FileErrorCauseText(FileErrorCause cause) noexcept {
    int index = static_cast<int>(cause) - 1;
    if (index < 0 || index >= kCauseCount) index = 0;
    const char* text = kCauseTexts;
    while (index-- > 0) text += std::char_traits<char>::length(text) + 1;
    return text;
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
