#pragma once

namespace dromo {

// The state of the machine's network connection.
struct ConnectionState {
    bool connected = true;
    bool modem = false;  // the connection goes over a modem (dial-up or mobile)
};

// The machine's network, as the completion and redial rules need it.
class Network {
public:
    virtual ~Network() = default;
    virtual ConnectionState GetConnectedState() = 0;
    // Brings the modem line up again; false when it could not.
    virtual bool Dial() = 0;
    // Takes the modem line down; false when it could not.
    virtual bool HangUp() = 0;
};

}  // namespace dromo
