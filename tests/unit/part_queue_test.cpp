#include "chatbox/part_queue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../../tools/gameconsole/chat_interval.h"

namespace {

void AddMessage(PartQueue& queue, const std::vector<std::string>& commands) {
    for (std::size_t i = 0; i < commands.size(); ++i) queue.Add(commands[i], i + 1 == commands.size());
}

// Steps the queue as the timer does, every 100 ms from `from` to `to`, saying
// whatever it gives while `inPlay`; returns what was said.
std::vector<std::string> Step(PartQueue& queue, std::uint64_t from, std::uint64_t to, bool inPlay) {
    std::vector<std::string> said;
    for (std::uint64_t now = from; now <= to; now += 100) {
        if (const std::string_view command = queue.Next(now, inPlay); !command.empty()) {
            said.emplace_back(command);
            queue.Said(now);
        }
    }
    return said;
}

TEST(PartQueue, SaysPartsInOrderAtLeastTheIntervalApart) {
    PartQueue queue;
    EXPECT_TRUE(queue.MaySayNow(0));
    queue.Said(1000);  // a first part said from the box
    EXPECT_FALSE(queue.MaySayNow(2099));
    EXPECT_TRUE(queue.MaySayNow(2100));
    AddMessage(queue, {"say \"b\"", "say \"c\""});
    AddMessage(queue, {"say \"d\""});  // a second message goes behind the first
    EXPECT_FALSE(queue.MaySayNow(5000)) << "parts wait: a new message goes behind them";
    EXPECT_EQ(queue.Waiting(), 3u);
    EXPECT_EQ(queue.Next(2000, true), "");
    std::vector<std::uint64_t> times;
    std::vector<std::string> said;
    for (std::uint64_t now = 2000; now <= 8000; now += 100) {
        if (const std::string_view command = queue.Next(now, true); !command.empty()) {
            said.emplace_back(command);
            times.push_back(now);
            queue.Said(now);
        }
    }
    EXPECT_EQ(said, (std::vector<std::string>{"say \"b\"", "say \"c\"", "say \"d\""}));
    EXPECT_EQ(times, (std::vector<std::uint64_t>{2100, 3200, 4300}));
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(queue.Next(9000, true), "");
}

TEST(PartQueue, PausedPlayDelaysPartsAndDropsAMessageAfterTenSecondsOfWaiting) {
    PartQueue queue;
    queue.Said(0);
    AddMessage(queue, {"1a", "1b", "1c"});
    AddMessage(queue, {"2a"});
    // Play pauses for 6 s: nothing goes, then the first part does.
    EXPECT_TRUE(Step(queue, 100, 7000, false).empty());
    EXPECT_EQ(Step(queue, 7100, 7100, true), std::vector<std::string>{"1a"});
    // Another pause brings the wait past 10 s in all: the rest of the first
    // message goes, the second message waits with a time of its own.
    EXPECT_TRUE(Step(queue, 8200, 12700, false).empty());
    EXPECT_EQ(queue.Waiting(), 1u);
    EXPECT_TRUE(Step(queue, 12800, 22000, false).empty());
    EXPECT_EQ(queue.Waiting(), 1u) << "the second message has waited 9.6 s";
    EXPECT_EQ(Step(queue, 22100, 22100, true), std::vector<std::string>{"2a"});
    EXPECT_TRUE(queue.Empty());
}

TEST(PartQueue, AFailedWriteWaitsAsPausedPlayDoes) {
    PartQueue queue;
    AddMessage(queue, {"x", "y"});
    ASSERT_EQ(queue.Next(0, true), "x");
    queue.Blocked(0);
    queue.Blocked(5000);
    ASSERT_EQ(queue.Next(5100, true), "x");
    queue.Said(5100);
    EXPECT_EQ(queue.Waiting(), 1u);
    // The write fails again from 6.2 s on: 5.1 s before and 5 s now are past the limit.
    queue.Blocked(6200);
    queue.Blocked(11300);
    EXPECT_TRUE(queue.Empty());
}

TEST(ChatInterval, IgnoresLinesWithinTheGapOfTheLastOneThatPassed) {
    ChatInterval chat;
    EXPECT_TRUE(chat.Pass(0));
    EXPECT_FALSE(chat.Pass(659));
    // An ignored line does not start the gap again.
    EXPECT_TRUE(chat.Pass(660));
    EXPECT_FALSE(chat.Pass(1000));
    EXPECT_TRUE(chat.Pass(1320));
    // The module's pace is well clear of it.
    ChatInterval paced;
    for (std::uint64_t at = 0; at < 10 * kPartIntervalMs; at += kPartIntervalMs) EXPECT_TRUE(paced.Pass(at));
}

}  // namespace

namespace {

TEST(PartQueue, HoldsWhatItsStoreHoldsAndRefusesMore) {
    PartQueue queue;
    const std::string command = "rcon say \"" + std::string(100, 'x') + "\"";  // the longest: 111 bytes
    EXPECT_TRUE(queue.HasRoomFor(300));
    std::size_t added = 0;
    while (queue.HasRoomFor(300)) {
        for (int part = 0; part < 3; ++part) ASSERT_TRUE(queue.Add(command, part == 2));
        added += 3;
    }
    EXPECT_GE(added, 18u) << "six messages of three full parts";
    EXPECT_EQ(queue.Waiting(), added);
    // A part that does not fit leaves what waits as it was.
    while (queue.Add(command, true)) ++added;
    EXPECT_EQ(queue.Waiting(), added);
    EXPECT_EQ(queue.Next(0, true), command);
}

}  // namespace
