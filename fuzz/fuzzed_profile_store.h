// Profile stores for the fuzz targets: one whose every answer comes from the
// fuzzer's bytes (any length, any content, reads and writes that fail), and one
// that keeps what is written, for round trips.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "settings/profile_store.h"

class FuzzedProfileStore : public ProfileStore {
public:
    explicit FuzzedProfileStore(FuzzedDataProvider& data) : m_data(data) {}

    std::optional<std::string> ReadRaw(std::string_view section, std::string_view name) override {
        ++m_reads[Key(section, name)];
        if (!m_data.ConsumeBool()) return std::nullopt;
        std::string raw = m_data.ConsumeBytesAsString(m_data.ConsumeIntegralInRange<std::size_t>(0, 600));
        m_answers.emplace_back(std::string(name), raw);
        return raw;
    }
    std::optional<std::uint32_t> ReadInt(std::string_view section, std::string_view name) override {
        const auto raw = ReadRaw(section, name);
        if (!raw) return std::nullopt;
        return DecodeProfileInt(std::as_bytes(std::span(raw->data(), raw->size())));
    }
    bool WriteInt(std::string_view, std::string_view, std::uint32_t) override { return m_data.ConsumeBool(); }
    bool WriteString(std::string_view, std::string_view, std::string_view) override {
        return m_data.ConsumeBool();
    }

    // How often each (section, name) was read.
    const std::map<std::pair<std::string, std::string>, int>& Reads() const { return m_reads; }
    // Every value that was found, by name, in the order the reads came.
    const std::vector<std::pair<std::string, std::string>>& Answers() const { return m_answers; }

private:
    static std::pair<std::string, std::string> Key(std::string_view section, std::string_view name) {
        return {std::string(section), std::string(name)};
    }
    FuzzedDataProvider& m_data;
    std::map<std::pair<std::string, std::string>, int> m_reads;
    std::vector<std::pair<std::string, std::string>> m_answers;
};

class MemoryProfileStore : public ProfileStore {
public:
    std::optional<std::string> ReadRaw(std::string_view section, std::string_view name) override {
        const auto it = m_values.find({std::string(section), std::string(name)});
        if (it == m_values.end()) return std::nullopt;
        return it->second;
    }
    std::optional<std::uint32_t> ReadInt(std::string_view section, std::string_view name) override {
        const auto raw = ReadRaw(section, name);
        if (!raw) return std::nullopt;
        return DecodeProfileInt(std::as_bytes(std::span(raw->data(), raw->size())));
    }
    bool WriteInt(std::string_view section, std::string_view name, std::uint32_t value) override {
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
        m_values[{std::string(section), std::string(name)}] = bytes;
        return true;
    }
    bool WriteString(std::string_view section, std::string_view name, std::string_view text) override {
        m_values[{std::string(section), std::string(name)}] = std::string(text) + '\0';
        return true;
    }

private:
    std::map<std::pair<std::string, std::string>, std::string> m_values;
};
