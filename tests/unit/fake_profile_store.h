// An in-memory profile store for tests: sections of named values holding raw bytes
// and a registry type, a record of every call, and failures on demand.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/profile_store.h"

class FakeProfileStore : public ProfileStore {
public:
    static constexpr std::uint32_t kSz = 1;
    static constexpr std::uint32_t kDword = 4;
    static constexpr std::uint32_t kBinary = 3;

    struct Value {
        std::uint32_t type;
        std::string data;
    };
    enum class Op { ReadRaw, ReadInt, WriteInt, WriteString, DeleteSection };
    struct Call {
        Op op;
        std::string section;
        std::string name;
    };

    std::map<std::string, std::map<std::string, Value, std::less<>>, std::less<>> sections;
    std::vector<Call> calls;
    bool cannotOpen = false;                         // every operation fails, nothing is created
    bool deleteFails = false;                        // DeleteSection reports failure and keeps all
    std::set<std::string, std::less<>> failingWrites;  // value names whose writes fail
    // A runaway loop over the store fails the test at once instead of running on.
    std::size_t callBudget = 100000;

    void PutRaw(std::string_view section, std::string_view name, std::uint32_t type, std::string data) {
        sections[std::string(section)][std::string(name)] = {type, std::move(data)};
    }
    // Stored as the registry stores a string value: with its terminating NUL.
    void PutString(std::string_view section, std::string_view name, std::string_view text) {
        PutRaw(section, name, kSz, std::string(text) + '\0');
    }
    void PutDword(std::string_view section, std::string_view name, std::uint32_t value) {
        PutRaw(section, name, kDword, LittleEndian(value));
    }

    const Value* Find(std::string_view section, std::string_view name) const {
        const auto s = sections.find(section);
        if (s == sections.end()) return nullptr;
        const auto v = s->second.find(name);
        return v == s->second.end() ? nullptr : &v->second;
    }
    std::vector<std::string> ValueNames(std::string_view section) const {
        std::vector<std::string> names;
        if (const auto s = sections.find(section); s != sections.end())
            for (const auto& [name, value] : s->second) names.push_back(name);
        return names;
    }
    std::size_t CountCalls(Op op) const {
        std::size_t n = 0;
        for (const Call& call : calls) n += call.op == op ? 1 : 0;
        return n;
    }

    std::optional<std::string> ReadRaw(std::string_view section, std::string_view name) override {
        Record({Op::ReadRaw, std::string(section), std::string(name)});
        if (!Open(section)) return std::nullopt;
        const Value* value = Find(section, name);
        if (value == nullptr) return std::nullopt;
        return value->data;
    }
    std::optional<std::uint32_t> ReadInt(std::string_view section, std::string_view name) override {
        Record({Op::ReadInt, std::string(section), std::string(name)});
        if (!Open(section)) return std::nullopt;
        const Value* value = Find(section, name);
        if (value == nullptr) return std::nullopt;
        return DecodeProfileInt(std::as_bytes(std::span(value->data.data(), value->data.size())));
    }
    bool WriteInt(std::string_view section, std::string_view name, std::uint32_t value) override {
        Record({Op::WriteInt, std::string(section), std::string(name)});
        if (!Open(section) || failingWrites.contains(name)) return false;
        PutDword(section, name, value);
        return true;
    }
    bool WriteString(std::string_view section, std::string_view name, std::string_view text) override {
        Record({Op::WriteString, std::string(section), std::string(name)});
        if (!Open(section) || failingWrites.contains(name)) return false;
        PutString(section, name, text);
        return true;
    }
    bool DeleteSection(std::string_view section) override {
        Record({Op::DeleteSection, std::string(section), {}});
        if (cannotOpen || deleteFails) return false;
        const auto s = sections.find(section);
        if (s == sections.end()) return false;
        sections.erase(s);
        return true;
    }

private:
    void Record(Call call) {
        if (calls.size() >= callBudget) throw std::runtime_error("profile store call budget exceeded");
        calls.push_back(std::move(call));
    }
    static std::string LittleEndian(std::uint32_t value) {
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
        return bytes;
    }
    // Opening creates a missing section, for reads as well as writes.
    bool Open(std::string_view section) {
        if (cannotOpen) return false;
        sections.try_emplace(std::string(section));
        return true;
    }
};
