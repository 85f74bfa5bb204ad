// How the chat box marks an IME composition: the string split into runs at the
// IME's clause boundaries and attribute changes, each drawn in the look of its
// attribute, and what the message would hold if the composition were committed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// The IME's attribute of a composition character (GCS_COMPATTR).
enum class ClauseLook {
    input,      // typed, not converted: a dotted underline
    converted,  // converted, not the clause being worked on: a solid underline
    target      // the clause being converted: highlighted
};

struct CompositionRun {
    std::size_t start = 0;  // UTF-16 units into the composition
    std::size_t end = 0;
    ClauseLook look = ClauseLook::input;
    bool endsClause = false;  // its underline stops short, so clauses stay apart
    friend bool operator==(const CompositionRun&, const CompositionRun&) = default;
};

// The runs of a composition of `length` units from the IME's attribute bytes (one
// per unit; missing ones count as input) and clause offsets (GCS_COMPCLAUSE:
// ascending, from 0 to the length). Offsets out of order or out of range are
// passed over, so every unit is in exactly one run.
std::vector<CompositionRun> CompositionRuns(std::size_t length, std::span<const std::uint8_t> attributes,
                                            std::span<const std::uint32_t> clauses);

// The UTF-8 bytes of the message once the composition is committed: the text
// with the selection [selStart, selEnd) replaced by the composition.
std::size_t BytesIfCommitted(std::u16string_view text, std::size_t selStart, std::size_t selEnd,
                             std::u16string_view composition) noexcept;
