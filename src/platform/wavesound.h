#pragma once

#include <QThread>
#include <atomic>
#include <chrono>

#include "base/ports/sound.h"

class QObject;

namespace dromo {

// Plays wave files with QSoundEffect on a thread of its own (workers have no
// event loop); Play waits for the sound's end, at most `bound`, Start does
// not wait at all. A missing, unreadable or unplayable file, or a machine
// without sound, is silence.
class WaveSound : public Sound {
public:
    explicit WaveSound(std::chrono::milliseconds bound = std::chrono::seconds(10));
    ~WaveSound() override;

    void Play(const std::string& path) override;
    void Start(const std::string& path) override;

private:
    std::chrono::milliseconds m_bound;
    std::atomic<bool> m_started{false};  // a sound Start began still sounds
    QThread m_thread;
    QObject* m_context;  // lives in m_thread
};

}  // namespace dromo
