#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace dromo {

// Tells whether another Dromo of this user runs: the first instance holds a
// lock file in the runtime folder for as long as it lives. A lock left by a
// crashed instance is taken over, since its process is gone.
class InstanceLock {
public:
    InstanceLock();
    explicit InstanceLock(const QString& lockPath);
    ~InstanceLock();

    // Takes the lock when it is free; true when this instance holds it.
    bool TryAcquire();
    bool Held() const { return m_held; }

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_held = false;
};

}  // namespace dromo
