#pragma once

#include "base/ports/network.h"

namespace dromo {

// The network as seen on a machine without a network manager to ask: always
// connected, never over a modem, so no completion rule waits for a line.
class ConnectedNetwork : public Network {
public:
    ConnectionState GetConnectedState() override { return {true, false}; }
    bool Dial() override { return false; }  // there is no modem line to dial
    bool HangUp() override { return false; }
};

}  // namespace dromo
