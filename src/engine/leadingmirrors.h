#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/values/transferoutcome.h"
#include "engine/mirrorpool.h"

namespace dromo {

// A server the first connection of a transfer may ask for the file: the
// task's own URL or one of its mirrors, in the engine's form of a URL.
struct Lead {
    std::string url;
    std::string host;  // as the URL names it
    std::uint16_t port = 0;
    bool ftp = false;
    bool secure = false;
    bool login = false;  // the task's own server: the task's login goes along
    std::int32_t priority = 0;
};

// Who leads a transfer call: the task's own URL first, then its other
// mirrors, most wanted first. A leader that refuses before a byte of the
// file came (no connection, an error answer, a refused login) is left for
// the rest of the call and the next one leads, so a dead first mirror
// costs one request, not the task. The other mirrors a leader's segmented
// transfer takes ranges from are the HTTP(S) ones not left. An FTP server
// moves the file over one connection: when the task may take more, an
// HTTP(S) mirror not left leads before it, so the others give ranges beside
// it (an FTP leader took none, 16 s against 3 s); the FTP one leads once
// they are all left.
class LeadingMirrors {
public:
    // `leads` begins with the task's own URL; the rest keep their order.
    // `split`: the task may take more than one connection.
    explicit LeadingMirrors(std::vector<Lead> leads, bool split = false);

    const Lead& Current() const { return m_leads[m_current]; }
    std::size_t Count() const { return m_leads.size(); }
    // The leader refused with this text and outcome: it is left and the
    // next one leads. False when none is left to lead.
    bool Leave(const std::string& text, TransferOutcome outcome);
    // The HTTP(S) mirrors beside the leader, not left, for its ranges.
    std::vector<MirrorSource> Others() const;

    // When every one was left: the failure that tells the worker most. One
    // that another try may get past (a server error, a refused port) before
    // a final one (a 404 of one mirror says nothing of the others), the
    // first of a kind before a later one.
    const std::string& FailureText() const { return m_failureText; }
    TransferOutcome FailureOutcome() const { return m_failureOutcome; }

private:
    // The leader after those left; -1 when none is left to lead.
    int NextLeader() const;

    std::vector<Lead> m_leads;
    bool m_split = false;
    std::vector<bool> m_left;
    std::size_t m_current = 0;
    std::string m_failureText;
    TransferOutcome m_failureOutcome = TransferOutcome::Failed;
    bool m_failureRetried = false;
    bool m_failed = false;
};

}  // namespace dromo
