// Why writing the command file failed, and the text the user is shown for it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class FileErrorCause : int {
    generic = 1,
    notFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile
};

struct FileError {
    FileErrorCause cause = FileErrorCause::generic;
    std::string fileName;  // shown in place of %1
};

// The cause for a Win32 system error code; codes of no known class give generic.
FileErrorCause CauseForSystemError(std::uint32_t code) noexcept;

// The message for a cause, with %1 where the file name goes ("Access to %1 was
// denied."). A value outside the enumeration gets the generic text.
std::string_view FileErrorCauseText(FileErrorCause cause) noexcept;

// The cause's text with every %1 replaced by the file name, cut between UTF-8
// characters to at most kFileErrorMessageLimit bytes.
inline constexpr std::size_t kFileErrorMessageLimit = 511;
std::string FormatFileErrorMessage(const FileError& error);

// The rule behind it for any message text: every %1 replaced, the result cut to
// `limit` bytes, never inside a character. A %1 inside the file name is not
// expanded again.
std::string ReplaceFileNameMarks(std::string_view text, std::string_view fileName,
                                 std::size_t limit);
