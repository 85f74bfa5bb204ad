#include "chatbox/ime/ime_composition.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

CompositionRun R(std::size_t start, std::size_t end, ClauseLook look, bool endsClause) {
    return {start, end, look, endsClause};
}

std::vector<CompositionRun> CompositionRuns(std::size_t length, std::span<const std::uint8_t> attributes,
                                            std::span<const std::uint32_t> clauses) {
    std::vector<CompositionRun> runs(kMaxCompositionUnits);
    runs.resize(::CompositionRuns(length, attributes, clauses, runs));
    return runs;
}

}  // namespace

TEST(CompositionRuns, ClausesAndAttributesSplitTheString) {
    // "ni hao ma" converted as 你好 (target) 吗 (converted), then two letters still input.
    const std::array<std::uint8_t, 5> attributes{1, 1, 2, 0, 0};
    const std::array<std::uint32_t, 4> clauses{0, 2, 3, 5};
    const std::vector<CompositionRun> expected{R(0, 2, ClauseLook::target, true),
                                               R(2, 3, ClauseLook::converted, true),
                                               R(3, 5, ClauseLook::input, true)};
    EXPECT_EQ(CompositionRuns(5, attributes, clauses), expected);

    // Without clauses the whole string is one clause; an attribute change still splits it.
    EXPECT_EQ(CompositionRuns(5, attributes, {}),
              (std::vector<CompositionRun>{R(0, 2, ClauseLook::target, false),
                                           R(2, 3, ClauseLook::converted, false),
                                           R(3, 5, ClauseLook::input, true)}));
}

TEST(CompositionRuns, MissingOrHostileDataStillCoversEveryUnitOnce) {
    EXPECT_EQ(CompositionRuns(3, {}, {}), std::vector<CompositionRun>{R(0, 3, ClauseLook::input, true)});
    const std::array<std::uint8_t, 2> shortAttributes{3, 3};  // the rest counts as input
    const std::array<std::uint32_t, 5> wild{0, 9, 1, 1, 0xFFFFFFFF};
    const auto runs = CompositionRuns(4, shortAttributes, wild);
    ASSERT_FALSE(runs.empty());
    std::size_t next = 0;
    for (const CompositionRun& run : runs) {
        EXPECT_EQ(run.start, next);
        EXPECT_LT(run.start, run.end);
        next = run.end;
    }
    EXPECT_EQ(next, 4u);
    EXPECT_EQ(runs.front().look, ClauseLook::target);
    EXPECT_TRUE(CompositionRuns(0, shortAttributes, wild).empty());
}

TEST(CompositionBytes, TheCompositionReplacesTheSelection) {
    EXPECT_EQ(BytesIfCommitted(u"abc", 3, 3, u"\u4F60\u597D"), 9u);
    EXPECT_EQ(BytesIfCommitted(u"abcdef", 1, 5, u"\u4F60"), 5u);  // "a" + 你 + "f"
    EXPECT_EQ(BytesIfCommitted(u"ab", 9, 4, u""), 2u) << "a selection outside the text replaces nothing";
}
