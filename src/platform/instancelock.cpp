#include "platform/instancelock.h"

#include <QLockFile>

#include "platform/platformpaths.h"

namespace dromo {

InstanceLock::InstanceLock()
    : InstanceLock(QString::fromStdString(PlatformPaths::RuntimeFolder()) + QStringLiteral("dromo.lock"))
{
}

InstanceLock::InstanceLock(const QString& lockPath) : m_lock(std::make_unique<QLockFile>(lockPath))
{
    // Never stale by age: a running instance may hold it for weeks. A lock of
    // a dead process is still recognised as stale by its process id.
    m_lock->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::TryAcquire()
{
    if (!m_held) {
        m_held = m_lock->tryLock(0);
    }
    return m_held;
}

}  // namespace dromo
