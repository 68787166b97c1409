#include "platform/wavesound.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>
#include <mutex>

namespace dromo {
namespace {

// Runs on the sound thread: loads, plays and waits, all bounded.
void PlayHere(const QString& path, int boundMs)
{
    QSoundEffect effect;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&effect, &QSoundEffect::statusChanged, &loop, [&] {
        if (effect.status() == QSoundEffect::Ready) {
            effect.play();
        } else if (effect.status() == QSoundEffect::Error) {
            loop.quit();
        }
    });
    QObject::connect(&effect, &QSoundEffect::playingChanged, &loop, [&] {
        if (!effect.isPlaying()) {
            loop.quit();
        }
    });
    deadline.start(boundMs);
    effect.setSource(QUrl::fromLocalFile(path));
    if (effect.status() == QSoundEffect::Ready) {
        effect.play();
    }
    if (effect.status() != QSoundEffect::Error) {
        loop.exec();
    }
    effect.stop();
}

bool Playable(const QString& file)
{
    return !file.isEmpty() && QFileInfo(file).isFile() && QFileInfo(file).isReadable();
}

}  // namespace

WaveSound::WaveSound(std::chrono::milliseconds bound) : m_bound(bound), m_context(new QObject)
{
    m_context->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_context, &QObject::deleteLater);
    m_thread.start();
}

WaveSound::~WaveSound()
{
    m_thread.quit();
    m_thread.wait();
}

void WaveSound::Start(const std::string& path)
{
    const QString file = QString::fromStdString(path);
    if (!Playable(file) || m_started.exchange(true)) {
        return;
    }
    const int boundMs = static_cast<int>(m_bound.count());
    QMetaObject::invokeMethod(
        m_context,
        [this, file, boundMs] {
            PlayHere(file, boundMs);
            m_started = false;
        },
        Qt::QueuedConnection);
}

void WaveSound::Play(const std::string& path)
{
    const QString file = QString::fromStdString(path);
    if (!Playable(file)) {
        return;  // no default system sound either
    }
    // One sound at a time, as the classic synchronous play did.
    static std::mutex playing;
    std::lock_guard lock(playing);
    const int boundMs = static_cast<int>(m_bound.count());
    if (QThread::currentThread() == &m_thread) {
        PlayHere(file, boundMs);
        return;
    }
    QMetaObject::invokeMethod(
        m_context, [file, boundMs] { PlayHere(file, boundMs); }, Qt::BlockingQueuedConnection);
}

}  // namespace dromo
