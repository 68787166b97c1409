#include "engine/digestcheck.h"

#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include <openssl/evp.h>

#include "engine/httpresponse.h"

namespace dromo {
namespace {

const EVP_MD* EvpOf(DigestAlgorithm algorithm)
{
    switch (algorithm) {
    case DigestAlgorithm::Md5: return EVP_md5();
    case DigestAlgorithm::Sha1: return EVP_sha1();
    case DigestAlgorithm::Sha256: return EVP_sha256();
    case DigestAlgorithm::Sha512: return EVP_sha512();
    }
    return nullptr;
}

// Data is handed to the hashing thread in blocks this large, at most
// kQueued of them waiting: a hash slower than the transfer holds it back
// instead of filling memory.
constexpr std::size_t kBlock = 1 << 20;
constexpr std::size_t kQueued = 4;

}  // namespace

std::string DigestOf(DigestAlgorithm algorithm, const char* data, std::size_t length)
{
    unsigned char value[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_Digest(data, length, value, &size, EvpOf(algorithm), nullptr) != 1) {
        return {};
    }
    return std::string(reinterpret_cast<char*>(value), size);
}

// The EVP context and the thread that feeds it. The context is touched by
// the thread alone between Init and Final, which both wait for it to idle.
class DigestCheck::Hasher {
public:
    Hasher() : m_context(EVP_MD_CTX_new()) {}
    ~Hasher()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_changed.notify_all();
        if (m_thread.joinable()) {
            m_thread.join();
        }
        EVP_MD_CTX_free(m_context);
    }

    bool Init(const EVP_MD* md)
    {
        Drain();
        m_block.clear();
        m_md = md;
        m_failed = EVP_DigestInit_ex(m_context, md, nullptr) != 1;
        return !m_failed;
    }
    const EVP_MD* Md() const { return m_md; }

    void Update(const char* data, std::size_t length)
    {
        while (length > 0) {
            if (m_block.capacity() < kBlock) {
                m_block.reserve(kBlock);
            }
            const std::size_t part = std::min(length, kBlock - m_block.size());
            m_block.insert(m_block.end(), data, data + part);
            data += part;
            length -= part;
            if (m_block.size() == kBlock) {
                Submit();
            }
        }
    }

    // The digest of everything updated; "" when hashing failed.
    std::string Final()
    {
        Drain();
        unsigned char value[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        if (m_failed || EVP_DigestFinal_ex(m_context, value, &length) != 1) {
            return {};
        }
        return std::string(reinterpret_cast<char*>(value), length);
    }

private:
    void Submit()
    {
        std::unique_lock lock(m_mutex);
        if (!m_thread.joinable()) {
            m_thread = std::thread([this] { Run(); });
        }
        m_changed.wait(lock, [this] { return m_queue.size() < kQueued; });
        m_queue.push_back(std::move(m_block));
        if (!m_free.empty()) {
            m_block = std::move(m_free.back());
            m_free.pop_back();
        }
        m_block.clear();
        m_changed.notify_all();
    }

    // Everything handed over is hashed, what is still gathered too.
    void Drain()
    {
        if (!m_block.empty()) {
            Submit();
        }
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_queue.empty() && !m_busy; });
    }

    void Run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return m_stop || !m_queue.empty(); });
            if (m_stop) {
                return;
            }
            std::vector<char> block = std::move(m_queue.front());
            m_queue.pop_front();
            m_busy = true;
            lock.unlock();
            const bool ok = EVP_DigestUpdate(m_context, block.data(), block.size()) == 1;
            lock.lock();
            m_failed = m_failed || !ok;
            m_busy = false;
            m_free.push_back(std::move(block));
            m_changed.notify_all();
        }
    }

    EVP_MD_CTX* m_context;
    const EVP_MD* m_md = nullptr;
    std::vector<char> m_block;  // gathered on the transfer's thread
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::vector<char>> m_queue;
    std::vector<std::vector<char>> m_free;
    bool m_busy = false;
    bool m_failed = false;
    bool m_stop = false;
    std::thread m_thread;
};

DigestCheck::DigestCheck() : m_hasher(std::make_unique<Hasher>())
{
}
DigestCheck::~DigestCheck()
{
    CloseFile();
}

void DigestCheck::Expect(DigestList digests)
{
    m_expected = std::move(digests);
    m_verdict.reset();
}

void DigestCheck::Begin()
{
    m_verdict.reset();
    m_server = DigestList();
    m_hashed = 0;
    m_running = false;
    m_readError.clear();
    CloseFile();
}

void DigestCheck::TakeServerDigests(const HttpResponse& response)
{
    m_verdict.reset();
    m_server = DigestList();
    // Content-Digest covers the body as sent: the file's bytes only in a
    // whole answer without a content coding.
    const bool wholeIdentity = response.code == 200 && response.contentEncoding.empty();
    const auto take = [this](const char* name, const std::string& value) {
        const DigestList announced = DigestList::FromHeader(name, value);
        for (const Digest& d : announced.Digests()) {
            m_server.Add(d);
        }
    };
    take("Digest", response.instanceDigest);
    if (wholeIdentity) {
        take("Content-Digest", response.contentDigest);
    }
    take("Repr-Digest", response.reprDigest);
}

const Digest* DigestCheck::Wanted() const
{
    return m_expected.Empty() ? m_server.Strongest() : m_expected.Strongest();
}

bool DigestCheck::Start()
{
    m_verdict.reset();
    const Digest* wanted = Wanted();
    m_hashed = 0;
    m_running = wanted != nullptr && m_hasher->Init(EvpOf(wanted->algorithm));
    return m_running;
}

void DigestCheck::Feed(std::int64_t offset, const char* data, std::size_t length)
{
    m_verdict.reset();  // the file changes
    if (offset == 0 && !Start()) {
        return;
    }
    if (!m_running || offset > m_hashed) {
        return;  // read back by CatchUp, or at the end
    }
    if (offset < m_hashed) {
        m_running = false;  // what the hash took is being written again
        return;
    }
    m_hasher->Update(data, length);
    m_hashed += static_cast<std::int64_t>(length);
}

void DigestCheck::StartOver()
{
    Start();
}

void DigestCheck::CatchUp(const std::string& path, std::int64_t complete)
{
    // Bounded per call so the transfer's loop is never held up for long.
    constexpr std::int64_t kStep = 8 * static_cast<std::int64_t>(kBlock);
    if (!m_running || complete <= m_hashed) {
        return;
    }
    if (m_fd < 0 || m_fdPath != path) {
        CloseFile();
        m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (m_fd < 0) {
            return;  // read at the end, when a failure is told
        }
        m_fdPath = path;
    }
    if (!ReadUpTo(m_fd, std::min(complete, m_hashed + kStep))) {
        m_running = false;
        m_readError.clear();
    }
}

bool DigestCheck::ReadUpTo(int fd, std::int64_t end)
{
    std::vector<char> buffer(kBlock);
    while (m_hashed < end) {
        const auto want = static_cast<std::size_t>(std::min<std::int64_t>(end - m_hashed, kBlock));
        const ssize_t n = ::pread(fd, buffer.data(), want, static_cast<off_t>(m_hashed));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            m_readError = n < 0 ? std::strerror(errno) : "the file ended early";
            return false;
        }
        m_hasher->Update(buffer.data(), static_cast<std::size_t>(n));
        m_hashed += n;
    }
    return true;
}

void DigestCheck::CloseFile()
{
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    m_fd = -1;
    m_fdPath.clear();
}

bool DigestCheck::MustRead(std::int64_t size) const
{
    const Digest* wanted = Wanted();
    return wanted != nullptr && !(m_running && m_hashed == size && m_hasher->Md() == EvpOf(wanted->algorithm));
}

DigestCheck::Result DigestCheck::Verify(const std::string& path, std::int64_t size)
{
    const Digest* wanted = Wanted();
    if (wanted == nullptr) {
        return Result::NotChecked;
    }
    if (m_verdict && m_verdictPath == path && m_verdictSize == size) {
        return *m_verdict;
    }
    const Result result = VerifyNow(path, size, *wanted);
    if (result != Result::Unreadable) {
        m_verdict = result;
        m_verdictPath = path;
        m_verdictSize = size;
    }
    return result;
}

DigestCheck::Result DigestCheck::VerifyNow(const std::string& path, std::int64_t size, const Digest& wanted)
{
    if (MustRead(size)) {
        // What the running hash took stays taken when it is of the wanted
        // kind and follows the file; the rest is read.
        const bool goOn = m_running && m_hashed <= size && m_hasher->Md() == EvpOf(wanted.algorithm);
        CloseFile();
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || (!goOn && !Start())) {
            m_readError = std::strerror(errno);
            if (fd >= 0) {
                ::close(fd);
            }
            return Result::Unreadable;
        }
        ::posix_fadvise(fd, m_hashed, 0, POSIX_FADV_SEQUENTIAL);
        const bool read = ReadUpTo(fd, size);
        ::close(fd);
        if (!read) {
            m_running = false;
            return Result::Unreadable;
        }
    }
    m_running = false;
    if (m_hashed != size) {
        m_readError = "the file is " + std::to_string(m_hashed) + " bytes, not " + std::to_string(size);
        return Result::Unreadable;
    }
    return m_hasher->Final() == wanted.bytes ? Result::Verified : Result::Mismatch;
}

}  // namespace dromo
