#include "platform/wavesound.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <thread>

#include "tests/support/testservers.h"

namespace dromo {
namespace {

// A short 8 kHz mono 16-bit wave file of silence.
std::string Wave(int milliseconds)
{
    const std::uint32_t samples = 8000u * static_cast<std::uint32_t>(milliseconds) / 1000u;
    const std::uint32_t data = samples * 2;
    std::string w;
    auto u32 = [&w](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            w += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    auto u16 = [&w](std::uint16_t v) {
        for (int i = 0; i < 2; ++i)
            w += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    w += "RIFF";
    u32(36 + data);
    w += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(8000);
    u32(16000);
    u16(2);
    u16(16);
    w += "data";
    u32(data);
    w.append(data, '\0');
    return w;
}

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST(WaveSound, SilenceForWhatCannotPlayAndABoundForWhatCan)
{
    test::TempDir dir;
    test::WriteFile(dir.File("ok.wav"), Wave(200));
    test::WriteFile(dir.File("bad.wav"), "not a wave file at all");
    WaveSound sound(std::chrono::milliseconds(1500));

    for (const std::string& path : {std::string(), dir.File("missing.wav"), dir.Path()}) {
        const auto start = Clock::now();
        sound.Play(path);
        EXPECT_LT(MsSince(start), 1000) << path;  // nothing to play: no wait for the 1500 ms limit
    }
    // Played (or found unplayable on a machine without sound) from this
    // thread and from a worker thread, never past the bound.
    for (const std::string& path : {dir.File("ok.wav"), dir.File("bad.wav")}) {
        auto start = Clock::now();
        sound.Play(path);
        EXPECT_LT(MsSince(start), 3000) << path;
        start = Clock::now();
        std::thread worker([&] { sound.Play(path); });
        worker.join();
        EXPECT_LT(MsSince(start), 3000) << path;
    }
}

// The window's add sound never holds it: Start returns before a long sound
// could have ended, a second Start while it sounds is dropped, and the
// worker's Play still plays after it.
TEST(WaveSound, StartNeverWaits)
{
    test::TempDir dir;
    test::WriteFile(dir.File("long.wav"), Wave(1500));
    WaveSound sound(std::chrono::milliseconds(6000));
    const auto start = Clock::now();
    for (int i = 0; i < 50; ++i) {
        sound.Start(dir.File("long.wav"));
    }
    EXPECT_LT(MsSince(start), 1000);
    sound.Start(dir.File("missing.wav"));
    const auto played = Clock::now();
    sound.Play(dir.File("missing.wav"));
    EXPECT_LT(MsSince(played), 1000);
}

}  // namespace
}  // namespace dromo
