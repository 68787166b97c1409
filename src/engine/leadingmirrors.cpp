#include "engine/leadingmirrors.h"

#include <algorithm>

namespace dromo {

LeadingMirrors::LeadingMirrors(std::vector<Lead> leads, bool split)
    : m_leads(std::move(leads)), m_split(split), m_left(m_leads.size(), false)
{
    m_current = static_cast<std::size_t>(std::max(NextLeader(), 0));
}

int LeadingMirrors::NextLeader() const
{
    for (const bool ftp : {false, true}) {
        for (std::size_t i = 0; i < m_leads.size(); ++i) {
            if (!m_left[i] && (!m_split || m_leads[i].ftp == ftp)) {
                return static_cast<int>(i);
            }
        }
    }
    return -1;
}

bool LeadingMirrors::Leave(const std::string& text, TransferOutcome outcome)
{
    m_left[m_current] = true;
    // A redial of the task may get past this one; a final failure of one
    // mirror is final for the task only when every other one's is too.
    const bool retried = AfterFailureOf(outcome, Current().ftp, true) == AfterFailure::Retried;
    if (!m_failed || (retried && !m_failureRetried)) {
        m_failed = true;
        m_failureText = text;
        m_failureOutcome = outcome;
        m_failureRetried = retried;
    }
    if (const int next = NextLeader(); next >= 0) {
        m_current = static_cast<std::size_t>(next);
        return true;
    }
    if (m_leads.size() > 1 && m_failureText.find("; none of the ") == std::string::npos) {
        m_failureText += "; none of the " + std::to_string(m_leads.size()) + " mirrors gives the file";
    }
    return false;
}

std::vector<MirrorSource> LeadingMirrors::Others() const
{
    std::vector<MirrorSource> others;
    for (std::size_t i = 0; i < m_leads.size(); ++i) {
        if (i != m_current && !m_left[i] && !m_leads[i].ftp && m_leads[i].url != Current().url) {
            others.push_back(MirrorSource{m_leads[i].url, m_leads[i].priority});
        }
    }
    return others;
}

}  // namespace dromo
