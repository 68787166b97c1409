#include "monitor/nativemessaging.h"

#include <cstring>

namespace dromo {

NativeMessaging::Status NativeMessaging::Read(std::string& message)
{
    std::uint32_t length = 0;
    if (std::fread(&length, sizeof length, 1, m_in) != 1) {
        return Status::EndOfInput;
    }
    if (length > kLimit) {
        return Status::TooLarge;
    }
    message.resize(length);
    if (length > 0 && std::fread(message.data(), 1, length, m_in) != length) {
        return Status::EndOfInput;  // the browser went away mid-frame
    }
    return Status::Ok;
}

bool NativeMessaging::Write(const std::string& message)
{
    if (message.size() > kLimit) {
        return false;
    }
    const auto length = static_cast<std::uint32_t>(message.size());
    if (std::fwrite(&length, sizeof length, 1, m_out) != 1 ||
        std::fwrite(message.data(), 1, message.size(), m_out) != message.size()) {
        return false;
    }
    return std::fflush(m_out) == 0;
}

}  // namespace dromo
