// The settings decoding of raw registry data of any type and length: the whole
// load over a store whose every answer is the fuzzer's, the two decoders and the
// program of a Run command.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "fuzzed_profile_store.h"
#include "settings/app_settings.h"
#include "settings/run_value.h"

namespace {

bool HasNul(const std::string& text) { return text.find('\0') != std::string::npos; }

void CheckDecoders(const std::string& raw) {
    const auto value = DecodeProfileInt(std::as_bytes(std::span(raw.data(), raw.size())));
    FUZZ_CHECK(value.has_value() == (raw.size() <= 4));
    if (value) {
        std::uint32_t expected = 0;
        for (std::size_t i = raw.size(); i-- > 0;)
            expected = (expected << 8) | static_cast<unsigned char>(raw[i]);
        FUZZ_CHECK(*value == expected);
    }
    const std::string text = DecodeProfileString(raw);
    FUZZ_CHECK(!HasNul(text));
    FUZZ_CHECK(raw.compare(0, text.size(), text) == 0);
    FUZZ_CHECK(text.size() == raw.size() || raw[text.size()] == '\0');
}

// The program of a Run command: what stands between a first quote and the next
// one, or the command without blanks at either end; a command the host writes
// gives back the path it was made from.
void CheckRunValue(const std::string& raw) {
    const std::wstring command(raw.begin(), raw.end());
    const std::wstring_view program = RunCommandProgram(command);
    const std::size_t first = command.find_first_not_of(L" \t");
    if (first == std::wstring::npos) {
        FUZZ_CHECK(program.empty());
    } else if (command[first] == L'"') {
        FUZZ_CHECK(program.find(L'"') == std::wstring_view::npos);
        FUZZ_CHECK(command.compare(first + 1, program.size(), program) == 0);
    } else {
        FUZZ_CHECK(!program.empty() && program.front() == command[first]);
        FUZZ_CHECK(program.back() != L' ' && program.back() != L'\t');
    }
    if (command.find(L'"') == std::wstring::npos) FUZZ_CHECK(RunCommandProgram(RunCommandFor(command)) == command);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const std::string raw = data.ConsumeRandomLengthString(700);
    CheckDecoders(raw);
    CheckRunValue(raw);

    FuzzedProfileStore store(data);
    CAppSettings settings;
    settings.Load(store);
    FUZZ_CHECK(settings.m_nMaxHistoryItems >= 1 && settings.m_nMaxHistoryItems <= 32);
    FUZZ_CHECK(settings.m_bAutoRun == 0);
    FUZZ_CHECK(!HasNul(settings.m_strExecutableFile));
    FUZZ_CHECK(!HasNul(settings.m_strSelectedIme));
    for (const std::string& key : settings.m_strKeys) FUZZ_CHECK(!HasNul(key));
    // One attach reads each value at most once.
    for (const auto& [value, count] : store.Reads()) FUZZ_CHECK(count == 1);
    return 0;
}
