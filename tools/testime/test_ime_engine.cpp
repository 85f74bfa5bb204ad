#include "test_ime_engine.h"

namespace testime {

namespace {

struct Entry {
    const char* reading;
    const char* candidates;  // separated by single blanks
};

// Enough for a few greetings; "ni" and "shi" fill more than two pages so that
// paging can be seen.
constexpr Entry kDictionary[] = {
    {"ni", "你 尼 泥 拟 逆 腻 妮 倪 霓 昵 匿 溺"},
    {"hao", "好 号 毫 豪 耗 浩 郝"},
    {"nihao", "你好 拟好"},
    {"wo", "我 握 窝 卧 沃 蜗"},
    {"shi", "是 时 十 事 使 市 世 试 式 室 石"},
    {"zhong", "中 种 重 众 终 钟"},
    {"wen", "文 问 闻 稳 温"},
    {"ma", "吗 妈 马 嘛 麻 骂"},
    {"a", "啊 阿"},
};

}  // namespace

std::vector<std::string> LookUp(const std::string& reading) {
    std::vector<std::string> found;
    for (const Entry& entry : kDictionary) {
        if (reading != entry.reading) continue;
        std::string words = entry.candidates;
        std::size_t start = 0;
        while (start <= words.size()) {
            std::size_t end = words.find(' ', start);
            if (end == std::string::npos) end = words.size();
            found.push_back(words.substr(start, end - start));
            start = end + 1;
        }
    }
    return found;
}

bool Engine::WantsKey(const Key& key, bool ctrlOrAlt) const {
    if (ctrlOrAlt) return false;
    if (key.kind == KeyKind::Letter) return true;
    return m_composing && key.kind != KeyKind::Other;
}

std::vector<Event> Engine::Press(const Key& key) {
    std::vector<Event> events;
    switch (key.kind) {
    case KeyKind::Letter:
        if (key.letter < 'a' || key.letter > 'z') break;
        if (!m_composing) {
            m_composing = true;
            m_result.clear();
            m_resultReading.clear();
            events.push_back(Event::StartComposition);
        }
        if (m_letters.size() < kMaxLetters) m_letters += key.letter;
        events.push_back(Event::Composition);
        UpdateCandidates(events);
        break;
    case KeyKind::Backspace:
        if (!m_composing) break;
        m_letters.pop_back();
        if (m_letters.empty()) return Cancel();
        events.push_back(Event::Composition);
        UpdateCandidates(events);
        break;
    case KeyKind::Space:
        if (m_composing) return Complete();
        break;
    case KeyKind::Digit:
        // A digit beyond the page's entries selects nothing and is swallowed, as
        // an IME does.
        if (m_open && key.digit >= 1 && static_cast<std::size_t>(key.digit) <= kPageSize) {
            const std::size_t pick = PageStart() + static_cast<std::size_t>(key.digit) - 1;
            if (pick < m_candidates.size()) return Commit(m_candidates[pick]);
        }
        break;
    case KeyKind::Enter:
        if (m_composing) return Commit(m_letters);
        break;
    case KeyKind::Escape:
        if (m_composing) return Cancel();
        break;
    case KeyKind::PageDown:
        if (m_open && PageStart() + kPageSize < m_candidates.size()) Select(PageStart() + kPageSize, events);
        break;
    case KeyKind::PageUp:
        if (m_open && PageStart() >= kPageSize) Select(PageStart() - kPageSize, events);
        break;
    case KeyKind::Down:
        if (m_open && m_selection + 1 < m_candidates.size()) Select(m_selection + 1, events);
        break;
    case KeyKind::Up:
        if (m_open && m_selection > 0) Select(m_selection - 1, events);
        break;
    case KeyKind::Other:
        break;
    }
    return events;
}

std::vector<Event> Engine::Cancel() {
    std::vector<Event> events;
    if (!m_composing) return events;
    if (m_open) events.push_back(Event::CloseCandidates);
    m_open = false;
    m_candidates.clear();
    m_selection = 0;
    m_letters.clear();
    m_composing = false;
    events.push_back(Event::Composition);  // the composition is now empty
    events.push_back(Event::EndComposition);
    return events;
}

std::vector<Event> Engine::Complete() {
    if (!m_composing) return {};
    return Commit(m_open ? m_candidates[m_selection] : m_letters);
}

void Engine::UpdateCandidates(std::vector<Event>& events) {
    m_candidates = LookUp(m_letters);
    m_selection = 0;
    if (!m_candidates.empty()) {
        events.push_back(m_open ? Event::ChangeCandidates : Event::OpenCandidates);
        m_open = true;
    } else if (m_open) {
        events.push_back(Event::CloseCandidates);
        m_open = false;
    }
}

void Engine::Select(std::size_t index, std::vector<Event>& events) {
    m_selection = index;
    events.push_back(Event::ChangeCandidates);
}

std::vector<Event> Engine::Commit(const std::string& text) {
    std::vector<Event> events;
    if (m_open) events.push_back(Event::CloseCandidates);
    m_result = text;
    m_resultReading = m_letters;
    m_open = false;
    m_candidates.clear();
    m_selection = 0;
    m_letters.clear();
    m_composing = false;
    events.push_back(Event::Result);
    events.push_back(Event::EndComposition);
    return events;
}

}  // namespace testime
