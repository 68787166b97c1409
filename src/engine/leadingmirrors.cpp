#include "engine/leadingmirrors.h"

namespace dromo {

LeadingMirrors::LeadingMirrors(std::vector<Lead> leads) : m_leads(std::move(leads)), m_left(m_leads.size(), false)
{
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
    for (std::size_t next = m_current + 1; next < m_leads.size(); ++next) {
        if (!m_left[next]) {
            m_current = next;
            return true;
        }
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
