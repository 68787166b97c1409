#include "engine/connectionshare.h"

namespace dromo {

ConnectionShare::~ConnectionShare()
{
    if (m_share != nullptr) {
        curl_share_cleanup(m_share);
    }
}

void ConnectionShare::Lock(CURL*, curl_lock_data data, curl_lock_access, void* user)
{
    auto* self = static_cast<ConnectionShare*>(user);
    self->m_locks[static_cast<std::size_t>(data) % self->m_locks.size()].lock();
}

void ConnectionShare::Unlock(CURL*, curl_lock_data data, void* user)
{
    auto* self = static_cast<ConnectionShare*>(user);
    self->m_locks[static_cast<std::size_t>(data) % self->m_locks.size()].unlock();
}

void ConnectionShare::Join(CURL* easy)
{
    std::call_once(m_made, [this] {
        CURLSH* share = curl_share_init();
        if (share == nullptr) {
            return;
        }
        curl_share_setopt(share, CURLSHOPT_LOCKFUNC, Lock);
        curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, Unlock);
        curl_share_setopt(share, CURLSHOPT_USERDATA, this);
        curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
        curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_SSL_SESSION);
        m_share = share;
    });
    if (m_share != nullptr) {
        curl_easy_setopt(easy, CURLOPT_SHARE, m_share);
    }
}

}  // namespace dromo
