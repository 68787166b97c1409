#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/values/status.h"

namespace dromo {

// The per-user store of named sections holding int and text values. Value
// names are kept whole; a backslash inside one ("URL0\Target") is part of
// the name.
class Profile {
public:
    virtual ~Profile() = default;

    // The stored int, or the default when the value is missing or is not a
    // decimal 32-bit number.
    virtual std::int32_t GetInt(const std::string& section, const std::string& name, std::int32_t defaultValue) = 0;
    virtual std::string GetString(const std::string& section, const std::string& name,
                                  const std::string& defaultValue) = 0;
    virtual void WriteInt(const std::string& section, const std::string& name, std::int32_t value) = 0;
    virtual void WriteString(const std::string& section, const std::string& name, const std::string& value) = 0;
    // Removes a whole section with every value in it.
    virtual void DeleteSection(const std::string& section) = 0;
    // The names of the values a section holds, in no particular order.
    virtual std::vector<std::string> ValueNames(const std::string& section) = 0;
    // The same names shown one by one, not copied (a section may hold a
    // million); `visit` must not call the profile.
    virtual void ForEachValueName(const std::string& section, const std::function<void(const std::string&)>& visit)
    {
        for (const std::string& name : ValueNames(section)) {
            visit(name);
        }
    }
    // Makes what was written durable; a failure when the store could not be
    // written.
    virtual Status Flush() = 0;
    // Like Flush, but the disk work may go on after it returns, so a slow
    // disk never holds up the window. A failure when the write before
    // failed; the outcome of this one shows later in LastFlush.
    virtual Status FlushSoon() { return Flush(); }
    // Like FlushSoon, and `written` is told the outcome once what was
    // written so far is durable (or could not be made so), exactly once, on
    // whichever thread did the work: the caller's when it was done at once.
    virtual void FlushThen(std::function<void(const Status&)> written) { written(Flush()); }
    // The outcome of the last flush.
    virtual Status LastFlush() const { return {}; }

    // Writes a whole section anew, as DeleteSection followed by `fill`'s
    // writes into the profile it is handed would. A store may run `fill`
    // later, on the thread that writes the file, so that a long section
    // (the task list) costs its caller nothing but the copy `fill` owns:
    // `fill` must own everything it reads, write each value of the section
    // once, and read the section only as empty. Its writes to other
    // sections (a keyring's note) are kept as any write. The flushes after
    // this call write what `fill` writes.
    using SectionFill = std::function<void(Profile& out)>;
    virtual void ReplaceSection(const std::string& section, SectionFill fill)
    {
        DeleteSection(section);
        fill(*this);
    }
    // Within a fill: the values `write` writes into the section, which are
    // the same whenever `same` is the same object at the same place among
    // the fill's parts (the fill vouches for that; a null `same` vouches for
    // nothing). A store may keep each part's text and take it again at the
    // next fill of the section instead of calling `write`, so a long list
    // costs a save only the tasks that changed. `write` writes only into the
    // section being filled.
    using PartWrite = std::function<void(Profile& out)>;
    virtual void WritePart(const std::shared_ptr<const void>& same, const PartWrite& write)
    {
        static_cast<void>(same);
        write(*this);
    }
    // Runs now every fill ReplaceSection left for later, after waiting for
    // one being run: for the owner of what they read, before it goes.
    virtual void FinishPendingSections() {}
};

}  // namespace dromo
