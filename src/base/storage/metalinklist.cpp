#include "base/storage/metalinklist.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "base/ports/metalinkreader.h"

namespace dromo {

MetalinkReading MetalinkList::ReadFile(const std::string& path, const MetalinkReader& reader)
{
    MetalinkReading reading;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        reading.error = "The Metalink file " + path + " cannot be read: " + std::strerror(errno) + ".";
        return reading;
    }
    // Read one byte past the limit at most, so a huge file costs nothing.
    std::string text(kMetalinkMaxBytes + 1, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    if (file.bad()) {
        reading.error = "The Metalink file " + path + " cannot be read: " + std::strerror(errno) + ".";
        return reading;
    }
    return reader.Read(text);
}

}  // namespace dromo
