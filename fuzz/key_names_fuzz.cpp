// LookupVirtualKey over any name, and over the table's own names in any letter case.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "settings/key_names.h"

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

std::uint16_t ExpectedCode(std::string_view name) {
    for (const KeyNameEntry& entry : KeyNameTable())
        if (EqualsIgnoringAsciiCase(entry.name, name)) return entry.code;
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const auto table = KeyNameTable();
    FUZZ_CHECK(!table.empty());

    // A row's name with its letters' case flipped by the fuzzer's bits.
    const auto& row = table[data.ConsumeIntegralInRange<std::size_t>(0, table.size() - 1)];
    std::string variant = row.name;
    for (char& c : variant) {
        if (data.ConsumeBool()) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : Lower(c);
    }
    FUZZ_CHECK(LookupVirtualKey(variant) == ExpectedCode(row.name));
    FUZZ_CHECK(LookupVirtualKey(variant) != 0);

    const std::string name = data.ConsumeRemainingBytesAsString();
    FUZZ_CHECK(LookupVirtualKey(name) == ExpectedCode(name));
    return 0;
}
