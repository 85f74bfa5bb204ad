// The test IME's composition rules, apart from the IMM structures that carry
// them: letters compose a pinyin-like reading, a small fixed dictionary offers
// candidates for it in pages, and Space, digits, Enter and Escape end the
// composition. The IME's window side turns the events it reports into the
// messages a real IME sends. Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace testime {

enum class KeyKind { Letter, Space, Digit, Enter, Escape, Backspace, PageDown, PageUp, Up, Down, Other };

struct Key {
    KeyKind kind = KeyKind::Other;
    char letter = 0;  // 'a'..'z' for a Letter
    int digit = 0;    // 1..9 for a Digit
};

// What one key did, in the order the IME reports it to the window.
enum class Event { StartComposition, Composition, OpenCandidates, ChangeCandidates, CloseCandidates, Result,
                   EndComposition };

// The candidates the dictionary holds for a reading (UTF-8), none for an unknown one.
std::vector<std::string> LookUp(const std::string& reading);

class Engine {
public:
    static constexpr std::size_t kPageSize = 5;
    static constexpr std::size_t kMaxLetters = 24;

    // Whether the IME takes the key: letters always, the keys that select, page,
    // commit or cancel only while it composes. A key with Ctrl or Alt is the
    // application's.
    bool WantsKey(const Key& key, bool ctrlOrAlt) const;
    std::vector<Event> Press(const Key& key);
    // What the application asks for when it ends a composition itself.
    std::vector<Event> Cancel();
    std::vector<Event> Complete();  // commits the selected candidate, else the letters

    bool Composing() const { return m_composing; }
    const std::string& Letters() const { return m_letters; }
    bool CandidatesOpen() const { return m_open; }
    const std::vector<std::string>& Candidates() const { return m_candidates; }
    std::size_t Selection() const { return m_selection; }
    std::size_t PageStart() const { return m_selection - m_selection % kPageSize; }
    // The last committed text and the letters it was typed as; kept until the
    // next composition starts.
    const std::string& Result() const { return m_result; }
    const std::string& ResultReading() const { return m_resultReading; }

private:
    void UpdateCandidates(std::vector<Event>& events);
    void Select(std::size_t index, std::vector<Event>& events);
    std::vector<Event> Commit(const std::string& text);

    bool m_composing = false;
    bool m_open = false;
    std::string m_letters;
    std::vector<std::string> m_candidates;
    std::size_t m_selection = 0;
    std::string m_result;
    std::string m_resultReading;
};

}  // namespace testime
