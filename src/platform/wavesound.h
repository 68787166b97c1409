#pragma once

#include <QThread>
#include <chrono>

#include "base/ports/sound.h"

class QObject;

namespace dromo {

// Plays wave files with QSoundEffect on a thread of its own (workers have no
// event loop), and waits for the sound's end, at most `bound`. A missing,
// unreadable or unplayable file, or a machine without sound, is silence.
class WaveSound : public Sound {
public:
    explicit WaveSound(std::chrono::milliseconds bound = std::chrono::seconds(10));
    ~WaveSound() override;

    void Play(const std::string& path) override;

private:
    std::chrono::milliseconds m_bound;
    QThread m_thread;
    QObject* m_context;  // lives in m_thread
};

}  // namespace dromo
