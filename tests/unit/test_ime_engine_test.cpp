// The test IME's rules: the end-to-end tests of the chat box's candidate display
// trust them, so a fault here would show there as a fault of the box.
#include <gtest/gtest.h>

#include "test_ime_engine.h"

namespace testime {
namespace {

Key Letter(char c) { return {KeyKind::Letter, c, 0}; }
Key Digit(int d) { return {KeyKind::Digit, 0, d}; }
Key Plain(KeyKind kind) { return {kind, 0, 0}; }

void Type(Engine& engine, const char* letters) {
    for (const char* c = letters; *c; ++c) engine.Press(Letter(*c));
}

TEST(TestImeEngine, LettersOpenTheListOnceAndChangeIt) {
    Engine engine;
    EXPECT_EQ(engine.Press(Letter('n')),
              (std::vector<Event>{Event::StartComposition, Event::Composition}));  // "n" has no candidates
    EXPECT_EQ(engine.Press(Letter('i')), (std::vector<Event>{Event::Composition, Event::OpenCandidates}));
    EXPECT_EQ(engine.Candidates().size(), 12u);
    EXPECT_EQ(engine.Press(Letter('h')), (std::vector<Event>{Event::Composition, Event::CloseCandidates}));
    Type(engine, "ao");
    EXPECT_EQ(engine.Candidates(), (std::vector<std::string>{"你好", "拟好"}));
    EXPECT_EQ(engine.Letters(), "nihao");
}

TEST(TestImeEngine, PagingAndSelectionStayWithinTheList) {
    Engine engine;
    Type(engine, "ni");  // 12 candidates: pages at 0, 5 and 10
    EXPECT_TRUE(engine.Press(Plain(KeyKind::PageUp)).empty());
    EXPECT_TRUE(engine.Press(Plain(KeyKind::Up)).empty());
    engine.Press(Plain(KeyKind::PageDown));
    engine.Press(Plain(KeyKind::PageDown));
    EXPECT_EQ(engine.PageStart(), 10u);
    EXPECT_EQ(engine.Selection(), 10u);
    EXPECT_TRUE(engine.Press(Plain(KeyKind::PageDown)).empty());
    engine.Press(Plain(KeyKind::Down));
    EXPECT_TRUE(engine.Press(Plain(KeyKind::Down)).empty());  // the last candidate
    EXPECT_EQ(engine.Selection(), 11u);
    // The last page holds two: a third digit selects nothing and ends nothing.
    EXPECT_TRUE(engine.Press(Digit(3)).empty());
    EXPECT_TRUE(engine.Composing());
    engine.Press(Plain(KeyKind::Up));
    engine.Press(Plain(KeyKind::Up));
    EXPECT_EQ(engine.PageStart(), 5u);  // the selection carries the page back
    EXPECT_EQ(engine.Press(Digit(5)),
              (std::vector<Event>{Event::CloseCandidates, Event::Result, Event::EndComposition}));
    EXPECT_EQ(engine.Result(), "昵");
    EXPECT_EQ(engine.ResultReading(), "ni");
}

TEST(TestImeEngine, EachWayOfEndingAComposition) {
    Engine engine;
    Type(engine, "wo");
    engine.Press(Plain(KeyKind::Down));
    engine.Press(Plain(KeyKind::Space));
    EXPECT_EQ(engine.Result(), "握");  // Space takes the selected candidate
    EXPECT_FALSE(engine.Composing());

    Type(engine, "wo");
    EXPECT_EQ(engine.Result(), "");  // a new composition drops the old result
    engine.Press(Plain(KeyKind::Enter));
    EXPECT_EQ(engine.Result(), "wo");  // Enter takes the letters

    Type(engine, "xq");
    engine.Press(Plain(KeyKind::Space));
    EXPECT_EQ(engine.Result(), "xq");  // no candidates: Space takes the letters

    Type(engine, "ma");
    EXPECT_EQ(engine.Press(Plain(KeyKind::Escape)),
              (std::vector<Event>{Event::CloseCandidates, Event::Composition, Event::EndComposition}));
    EXPECT_EQ(engine.Letters(), "");
    EXPECT_EQ(engine.Result(), "");

    Type(engine, "a");
    EXPECT_EQ(engine.Press(Plain(KeyKind::Backspace)),
              (std::vector<Event>{Event::CloseCandidates, Event::Composition, Event::EndComposition}));
    EXPECT_FALSE(engine.Composing());
    EXPECT_TRUE(engine.Cancel().empty());
    EXPECT_TRUE(engine.Complete().empty());
}

TEST(TestImeEngine, TakesOnlyTheKeysAnImeTakes) {
    Engine engine;
    EXPECT_TRUE(engine.WantsKey(Letter('a'), false));
    EXPECT_FALSE(engine.WantsKey(Letter('a'), true));  // Ctrl+A is the application's
    EXPECT_FALSE(engine.WantsKey(Plain(KeyKind::Enter), false));
    EXPECT_FALSE(engine.WantsKey(Digit(1), false));
    Type(engine, "ni");
    for (KeyKind kind : {KeyKind::Space, KeyKind::Enter, KeyKind::Escape, KeyKind::Backspace, KeyKind::PageDown})
        EXPECT_TRUE(engine.WantsKey(Plain(kind), false));
    EXPECT_FALSE(engine.WantsKey(Plain(KeyKind::Other), false));
    // A reading stops growing at its limit but stays a composition.
    for (int i = 0; i < 40; ++i) engine.Press(Letter('x'));
    EXPECT_EQ(engine.Letters().size(), Engine::kMaxLetters);
}

}  // namespace
}  // namespace testime
