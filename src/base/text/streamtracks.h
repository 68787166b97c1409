#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/text/dashmanifest.h"
#include "base/text/hlsplaylist.h"
#include "base/text/variantchoice.h"

namespace dromo {

// One piece a recording fetches: an init section or a media segment, with
// what decrypts it.
struct StreamPiece {
    std::string url;
    ByteRange range;
    double seconds = 0;
    // Its number in the track: the media sequence number of an HLS segment,
    // the index of a DASH segment; -1 for the init section.
    std::int64_t sequence = -1;
    std::string keyUrl;  // the AES-128 key's; "" when in the clear
    std::string iv;      // 16 bytes when keyUrl is set
};

// A track of a recording: the variant's video (with its sound, when the
// variant carries it) or a separate audio rendition.
struct StreamTrack {
    std::string playlistUrl;  // an HLS media playlist, read again while live; "" for DASH
    std::optional<StreamPiece> init;
    std::vector<StreamPiece> pieces;
    bool live = false;         // more pieces will come (no EXT-X-ENDLIST)
    double targetSeconds = 0;  // how often a live playlist is read again
    bool wholeFile = false;    // one resource whose single piece is fetched in parts

    double Seconds() const;
};

// The tracks of an HLS media playlist read from `playlistUrl`; the reason
// when it cannot be recorded (its init section changes on the way, which
// one file cannot hold).
std::optional<StreamTrack> TrackOfHls(const HlsMediaPlaylist& playlist, const std::string& playlistUrl,
                                      std::string& why);
StreamTrack TrackOfDash(const DashRepresentation& representation);

// What a recording takes of a master playlist: the chosen variant and the
// audio rendition that goes with it (-1 when the variant carries its own
// sound: no rendition of its group has a URI of its own).
struct HlsChoice {
    int variant = -1;
    int audio = -1;
};
HlsChoice ChooseHls(const HlsMasterPlaylist& master, const VariantChoice& choice);

// What a recording takes of a manifest: a video representation and an
// audio one, each -1 when it has none. The sound is the best, or the
// lowest when the choice is.
struct DashChoice {
    int video = -1;
    int audio = -1;
};
DashChoice ChooseDash(const DashReading& manifest, const VariantChoice& choice);

}  // namespace dromo
