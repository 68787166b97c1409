#pragma once

#include <charconv>
#include <functional>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "base/ports/profile.h"

namespace dromo::test {

// An in-memory profile. Values keep the kind they were written with, so a
// test can plant a text where a number belongs, as a hand-edited file would.
class FakeProfile : public Profile {
public:
    using Value = std::variant<std::int32_t, std::string>;
    std::map<std::string, std::map<std::string, Value>> sections;
    int reads = 0;
    bool flushResult = true;
    std::string flushError;  // what a failed flush says

    std::int32_t GetInt(const std::string& section, const std::string& name, std::int32_t defaultValue) override
    {
        ++reads;
        const Value* v = Find(section, name);
        if (v == nullptr) {
            return defaultValue;
        }
        if (const auto* i = std::get_if<std::int32_t>(v)) {
            return *i;
        }
        const std::string& text = std::get<std::string>(*v);
        std::int32_t parsed = 0;
        const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
        return ec == std::errc() && ptr == text.data() + text.size() && !text.empty() ? parsed : defaultValue;
    }
    std::string GetString(const std::string& section, const std::string& name, const std::string& defaultValue) override
    {
        ++reads;
        const Value* v = Find(section, name);
        if (v == nullptr) {
            return defaultValue;
        }
        if (const auto* i = std::get_if<std::int32_t>(v)) {
            return std::to_string(*i);
        }
        return std::get<std::string>(*v);
    }
    void WriteInt(const std::string& section, const std::string& name, std::int32_t value) override
    {
        sections[section][name] = value;
    }
    void WriteString(const std::string& section, const std::string& name, const std::string& value) override
    {
        sections[section][name] = value;
    }
    void DeleteSection(const std::string& section) override { sections.erase(section); }
    std::vector<std::string> ValueNames(const std::string& section) override
    {
        std::vector<std::string> names;
        if (auto it = sections.find(section); it != sections.end()) {
            for (const auto& [name, value] : it->second) {
                names.push_back(name);
            }
        }
        return names;
    }
    int flushes = 0;      // waited for
    int soonFlushes = 0;  // handed to the disk without waiting
    // Runs inside a flush: what another thread changes while a save is written.
    std::function<void()> duringFlush;
    Status Flush() override
    {
        ++flushes;
        RunDuringFlush();
        return LastFlush();
    }
    Status FlushSoon() override
    {
        ++soonFlushes;
        RunDuringFlush();
        return LastFlush();
    }
    // With holdWrites, FlushThen keeps its callers until the test lets the
    // write end (WriteHeld), as a slow disk would.
    bool holdWrites = false;
    std::vector<std::function<void(const Status&)>> held;
    int thenFlushes = 0;
    void FlushThen(std::function<void(const Status&)> written) override
    {
        ++thenFlushes;
        RunDuringFlush();
        if (holdWrites) {
            held.push_back(std::move(written));
        } else {
            written(LastFlush());
        }
    }
    // Ends the oldest held write with the profile's flush result.
    void WriteHeld()
    {
        auto written = std::move(held.front());
        held.erase(held.begin());
        written(LastFlush());
    }
    void RunDuringFlush()
    {
        if (duringFlush) {
            std::function<void()>(std::move(duringFlush))();  // once
        }
    }
    Status LastFlush() const override { return flushResult ? Status() : Status::Failure(flushError); }

    bool Has(const std::string& section, const std::string& name) const
    {
        auto it = sections.find(section);
        return it != sections.end() && it->second.count(name) > 0;
    }
    std::int32_t Int(const std::string& section, const std::string& name) const
    {
        return std::get<std::int32_t>(sections.at(section).at(name));
    }
    std::string Text(const std::string& section, const std::string& name) const
    {
        return std::get<std::string>(sections.at(section).at(name));
    }

private:
    const Value* Find(const std::string& section, const std::string& name) const
    {
        auto it = sections.find(section);
        if (it == sections.end()) {
            return nullptr;
        }
        auto v = it->second.find(name);
        return v == it->second.end() ? nullptr : &v->second;
    }
};

}  // namespace dromo::test
