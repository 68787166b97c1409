#pragma once

// A connection of a segmented transfer, for the files that make up
// SegmentedTransfer: what it asked for, what it brought and holds, and
// where it stands. Its state changes only through Enter, which traces each
// change, so DROMO_TRACE=1 shows every connection's way from its request
// to its end.

#include <curl/curl.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/curlhandles.h"
#include "engine/httpresponse.h"
#include "engine/idlewatch.h"
#include "engine/segmentedtransfer.h"

namespace dromo {

struct SegmentedTransfer::Connection {
    enum class State {
        Made,       // its handle is ready, not yet in the multi handle
        Asking,     // in the multi handle, holding a host slot; its head not yet taken
        Receiving,  // its head fits the range asked for: its bytes go to the file
        HeldBack,   // paused by the shared speed limit
        Closed,     // out of the multi handle, its host slot given back
    };
    static const char* Name(State state);

    State Now() const { return m_state; }
    // In the multi handle, holding a host slot.
    bool Live() const { return m_state == State::Asking || m_state == State::Receiving || m_state == State::HeldBack; }
    // Its head was taken: what it sends is the range's.
    bool Accepted() const { return m_state == State::Receiving || m_state == State::HeldBack; }
    // The one way its state changes, traced under the task's topic.
    void Enter(State next);

    SegmentedTransfer* owner = nullptr;
    CURL* easy = nullptr;
    EasyHandle owned;               // an extra connection's own handle; none for the engine's
    bool first = false;             // the engine's own handle
    bool standIn = false;           // opened with nobody left to speak for the file: its answer does
    bool otherVersion = false;      // its answer showed another version of the file
    bool validatorChanged = false;  // its TCP connection named the file otherwise before
    // Taken under a validator other than the first answer's, on the word of
    // the same modification time: its first bytes are asked again.
    bool unproven = false;
    std::string hostPort;  // the host whose slot it holds
    int mirror = 0;        // of the pool
    int range = -1;
    std::int64_t firstByte = 0;  // the range asked for
    std::int64_t lastByte = 0;
    HttpResponse response;
    std::string refusal;  // why its answer was not taken
    // libcurl hands data over in small pieces; they reach the file together.
    // They follow the range's next byte, which moves once they are written.
    std::vector<char> buffer;
    Clock::time_point opened = Clock::now();
    std::int64_t taken = 0;  // bytes it brought
    Clock::time_point lastData = Clock::now();
    IdleWatch watch;
    IdleWatch pace;  // its bytes over the end-game's short window
    HeaderList headers;
    char error[CURL_ERROR_SIZE] = {};

private:
    State m_state = State::Made;
};

}  // namespace dromo
