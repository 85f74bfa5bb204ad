// How the chat box marks an IME composition: the string split into runs at the
// IME's clause boundaries and attribute changes, each drawn in the look of its
// attribute, and what the message would hold if the composition were committed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// UTF-16 units of a composition the box shows; a longer one shows its start.
// Far beyond a message: 100 bytes of UTF-8 are at most 100 units.
inline constexpr std::size_t kMaxCompositionUnits = 128;
inline constexpr std::size_t kMaxClauseOffsets = 33;

// The IME's composition, as the box holds it: empty while none is going on.
struct Composition {
    std::array<char16_t, kMaxCompositionUnits> text{};
    std::array<std::uint8_t, kMaxCompositionUnits> attributes{};  // one per unit (GCS_COMPATTR)
    std::array<std::uint32_t, kMaxClauseOffsets> clauses{};       // offsets, 0 to the length (GCS_COMPCLAUSE)
    std::size_t length = 0;
    std::size_t attributeCount = 0;
    std::size_t clauseCount = 0;
    std::size_t cursor = 0;  // where the IME puts the caret, in units

    bool Empty() const noexcept { return length == 0; }
    std::u16string_view Text() const noexcept { return {text.data(), length}; }
};

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
// per unit; missing ones count as input) and clause offsets (ascending, from 0
// to the length), written to `runs`; returns how many. Offsets out of order or
// out of range are passed over, so every unit is in exactly one run as long as
// `runs` has one place per unit.
std::size_t CompositionRuns(std::size_t length, std::span<const std::uint8_t> attributes,
                            std::span<const std::uint32_t> clauses, std::span<CompositionRun> runs) noexcept;

// The UTF-8 bytes of the message once the composition is committed: the text
// with the selection [selStart, selEnd) replaced by the composition.
std::size_t BytesIfCommitted(std::u16string_view text, std::size_t selStart, std::size_t selEnd,
                             std::u16string_view composition) noexcept;
