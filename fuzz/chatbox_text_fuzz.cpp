// The texts of one submission over any input: the command (one quoted argument
// whatever is typed), the command file path, the file-error message, the system
// error text written into a fixed buffer, the message limit over the UTF-16 text
// of the edit, and the parts a message is said in.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "chatbox/cfg_path.h"
#include "chatbox/error_text.h"
#include "chatbox/file_error.h"
#include "chatbox/message_parts.h"
#include "chatbox/say_command.h"
#include "chatbox/text_limit.h"
#include "common/utf8.h"
#include "fuzz_check.h"

namespace {

void CheckCommand(int mode, const std::string& text) {
    const std::string command = FormatSayCommand(mode, text);
    const std::string prefix = mode == 0 ? "say \"" : mode == 1 ? "say_team \"" : "rcon say \"";
    FUZZ_CHECK(command.size() == prefix.size() + text.size() + 1);
    FUZZ_CHECK(command.compare(0, prefix.size(), prefix) == 0);
    FUZZ_CHECK(command.back() == '"');
    FUZZ_CHECK(std::count(command.begin(), command.end(), '"') == 2);
    FUZZ_CHECK(command.find_first_of("\r\n") == std::string::npos);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char typed = text[i], sent = command[prefix.size() + i];
        FUZZ_CHECK(sent == typed || (typed == '"' && sent == '\'') ||
                   ((typed == '\r' || typed == '\n') && sent == ' '));
    }
}

void CheckPath(const std::string& executable, bool czero) {
    const std::string folder = RemoveFileSpec(executable);
    FUZZ_CHECK(executable.compare(0, folder.size(), folder) == 0);
    const std::string path = BuildCfgPath(executable, czero ? GameFolder::czero : GameFolder::cstrike);
    const std::string tail = czero ? "czero\\parlix.cfg" : "cstrike\\parlix.cfg";
    FUZZ_CHECK(path.size() >= tail.size() + 1);
    FUZZ_CHECK(path.compare(path.size() - tail.size(), tail.size(), tail) == 0);
    FUZZ_CHECK(path[path.size() - tail.size() - 1] == '\\');
    FUZZ_CHECK(path.compare(0, folder.size(), folder) == 0);
    FUZZ_CHECK(path.size() <= folder.size() + tail.size() + 1);
}

void CheckFileError(std::uint32_t code, const std::string& name) {
    const FileErrorCause cause = CauseForSystemError(code);
    FUZZ_CHECK(static_cast<int>(cause) >= 1 && static_cast<int>(cause) <= 14);
    const std::string message = FormatFileErrorMessage({cause, name});
    FUZZ_CHECK(message.size() <= kFileErrorMessageLimit);
    std::string full(FileErrorCauseText(cause));
    full.replace(full.find("%1"), 2, name);
    FUZZ_CHECK(full.compare(0, message.size(), message) == 0);
    // Cut between characters: no more than the first character that does not fit goes.
    FUZZ_CHECK(message.size() == Utf8PrefixLength(full, kFileErrorMessageLimit));
}

// The fallback text reads back as the code it was made from.
void CheckErrorCode(std::int32_t code) {
    const std::string text = ErrorCodeText(code);
    FUZZ_CHECK(text.size() >= 3 && text.front() == '(' && text.back() == ')');
    FUZZ_CHECK(std::to_string(code) == text.substr(1, text.size() - 2));
}

// The text as the edit holds it: UTF-16 from any bytes, then the message limit
// with the caret anywhere.
void CheckMessageLimit(const std::string& bytes, std::size_t caret) {
    const std::u16string text = Utf16FromUtf8(bytes);
    FUZZ_CHECK(Utf8FromUtf16(Utf16FromUtf8(Utf8FromUtf16(text))) == Utf8FromUtf16(text));
    FUZZ_CHECK(Utf8Length(text) == Utf8FromUtf16(text).size());
    const std::size_t prefix = Utf8PrefixLength(bytes, kMaxMessageBytes);
    FUZZ_CHECK(prefix <= kMaxMessageBytes && prefix <= bytes.size());
    // The cut falls between characters: its text is the start of the whole text.
    const std::u16string head = Utf16FromUtf8(bytes.substr(0, prefix));
    FUZZ_CHECK(text.compare(0, head.size(), head) == 0);
    const auto excess = ExcessOfText(text, caret);
    if (!excess) {
        FUZZ_CHECK(CountParts(Utf8FromUtf16(text)) <= kMaxParts);
        return;
    }
    FUZZ_CHECK(excess->start < excess->end && excess->end <= text.size());
    std::u16string kept = text;
    kept.erase(excess->start, excess->end - excess->start);
    FUZZ_CHECK(CountParts(Utf8FromUtf16(kept)) <= kMaxParts);
    FUZZ_CHECK(Utf8Length(kept) <= kMaxParts * kMaxMessageBytes);
    // No pair is split: the units on both sides of the cut still read as before.
    auto splits = [&](std::size_t at) {
        return at > 0 && at < text.size() && text[at - 1] >= 0xD800 && text[at - 1] <= 0xDBFF && text[at] >= 0xDC00 &&
               text[at] <= 0xDFFF;
    };
    FUZZ_CHECK(!splits(excess->start) && !splits(excess->end));
}

// The parts of any UTF-8 text: together the text, each at most a chat line and
// ending between characters, none but the last giving up more than a quarter.
void CheckParts(const std::string& bytes) {
    const std::string text = Utf8FromUtf16(Utf16FromUtf8(bytes));  // as the edit gives it: valid
    std::string joined;
    std::size_t count = 0;
    std::size_t messageEnd = text.size();  // where the last part a message may have ends
    for (std::size_t start = 0, end = 0; start < text.size(); start = end) {
        end = PartEnd(text, start);
        FUZZ_CHECK(end > start && end - start <= kMaxMessageBytes);
        const std::string part = text.substr(start, end - start);
        FUZZ_CHECK(Utf8FromUtf16(Utf16FromUtf8(part)) == part);
        if (end < text.size()) FUZZ_CHECK(end - start >= kMaxMessageBytes - kMaxMessageBytes / 4);
        joined += part;
        if (++count == kMaxParts) messageEnd = end;
    }
    FUZZ_CHECK(joined == text);
    FUZZ_CHECK(count == CountParts(text));
    FUZZ_CHECK(MessagePrefixLength(text) == messageEnd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const int mode = data.ConsumeIntegralInRange(0, 2);
    const bool czero = data.ConsumeBool();
    const auto code = data.ConsumeIntegral<std::uint32_t>();
    const auto bufferSize = data.ConsumeIntegralInRange<std::size_t>(0, 300);
    const std::string text = data.ConsumeRemainingBytesAsString();
    CheckCommand(mode, text);
    CheckPath(text, czero);
    CheckFileError(code, text);
    CheckErrorCode(static_cast<std::int32_t>(code));
    CheckMessageLimit(text, bufferSize);
    CheckParts(text);
    return 0;
}
