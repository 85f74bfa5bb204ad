// An in-memory profile store for tests: sections of named values holding raw bytes
// and a registry type, a log of every call, and failures on demand.
#pragma once

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "settings/profile_store.h"

class FakeProfileStore : public ProfileStore {
public:
    static constexpr std::uint32_t kSz = 1;
    static constexpr std::uint32_t kBinary = 3;
    static constexpr std::uint32_t kDword = 4;

    struct Value {
        std::uint32_t type;
        std::string data;
    };
    using Section = std::map<std::string, Value, std::less<>>;
    std::map<std::string, Section, std::less<>> sections;
    std::vector<std::string> calls;  // "ReadRaw <section>/<name>", "KeepOnly <section>", ...
    // Sections below another are named "<section>\\<name>", as registry paths.
    bool cannotOpen = false;         // every operation fails and nothing is created
    bool deleteFails = false;         // KeepOnly removes nothing
    std::set<std::string, std::less<>> failingWrites;  // value names whose writes fail
    std::size_t callBudget = 100000;  // a runaway loop fails the test instead of running on

    void PutRaw(std::string_view section, std::string_view name, std::uint32_t type, std::string data) {
        sections[std::string(section)][std::string(name)] = {type, std::move(data)};
    }
    void PutString(std::string_view section, std::string_view name, std::string_view text) {
        PutRaw(section, name, kSz, std::string(text) + '\0');  // stored with its terminator
    }
    void PutDword(std::string_view section, std::string_view name, std::uint32_t v) {
        PutRaw(section, name, kDword, std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)});
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
            for (const auto& entry : s->second) names.push_back(entry.first);
        return names;
    }

    std::optional<std::string> ReadRaw(std::string_view section, std::string_view name) override {
        const Value* v = Open("ReadRaw", section, name) ? Find(section, name) : nullptr;
        return v ? std::optional(v->data) : std::nullopt;
    }
    std::optional<std::uint32_t> ReadInt(std::string_view section, std::string_view name) override {
        const Value* v = Open("ReadInt", section, name) ? Find(section, name) : nullptr;
        if (!v) return std::nullopt;
        return DecodeProfileInt(std::as_bytes(std::span(v->data.data(), v->data.size())));
    }
    bool WriteInt(std::string_view section, std::string_view name, std::uint32_t value) override {
        if (!Open("WriteInt", section, name) || failingWrites.contains(name)) return false;
        PutDword(section, name, value);
        return true;
    }
    bool WriteString(std::string_view section, std::string_view name, std::string_view text) override {
        if (!Open("WriteString", section, name) || failingWrites.contains(name)) return false;
        PutString(section, name, text);
        return true;
    }

    bool KeepOnly(std::string_view section, std::span<const std::string> kept) override {
        Log("KeepOnly " + std::string(section));
        if (cannotOpen || deleteFails) return false;
        // Value names compare as the registry compares them: ASCII letter case aside.
        auto same = [](std::string_view a, std::string_view b) {
            return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                       return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
                   });
        };
        if (auto s = sections.find(section); s != sections.end())
            std::erase_if(s->second, [&](const auto& value) {
                return std::none_of(kept.begin(), kept.end(), [&](const std::string& k) { return same(k, value.first); });
            });
        const std::string below = std::string(section) + '\\';
        std::erase_if(sections, [&](const auto& s) { return s.first.starts_with(below); });
        return true;
    }

private:
    void Log(std::string call) {
        if (calls.size() >= callBudget) throw std::runtime_error("profile store call budget exceeded");
        calls.push_back(std::move(call));
    }
    // Opening creates a missing section, for reads as well as writes.
    bool Open(const char* op, std::string_view section, std::string_view name) {
        Log(std::string(op) + ' ' + std::string(section) + '/' + std::string(name));
        if (cannotOpen) return false;
        sections.try_emplace(std::string(section));
        return true;
    }
};
