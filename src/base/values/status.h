#pragma once

#include <string>
#include <utility>

namespace dromo {

// What an operation that may fail came to: success, or the reason as a
// sentence for the user. The one way a call across a layer boundary says
// it failed, in place of a bool beside a separate text or a text that is
// empty on success. An object whose failure outlasts the call (a profile
// whose last write failed) hands out its last Status the same way.
class [[nodiscard]] Status {
public:
    Status() = default;  // success
    static Status Failure(std::string reason)
    {
        Status s;
        s.m_failed = true;
        s.m_reason = std::move(reason);
        return s;
    }

    bool Ok() const { return !m_failed; }
    explicit operator bool() const { return Ok(); }
    // "" on success.
    const std::string& Reason() const { return m_reason; }
    bool operator==(const Status&) const = default;

private:
    bool m_failed = false;
    std::string m_reason;
};

}  // namespace dromo
