#pragma once

// The texts the engine writes into status lines and error texts and the
// rest of the program reads back: the progress handler picks its sounds by
// them, and they go into the Status column, the history and stored profiles
// as they are (the worker decides by the TransferOutcome beside them). Both
// sides spell them from here, so they never drift apart by a byte.

namespace dromo::texts {

// "Connecting to host:port...", the first status line of every attempt.
inline constexpr char kConnectingTo[] = "Connecting to";
inline constexpr char kFileDownloaded[] = "File has been downloaded";
// After kFileDownloaded when the file matched its checksum, with the algorithm.
inline constexpr char kVerified[] = " - Verified ";
inline constexpr char kFileAlreadyExisted[] = "File has already existed";
inline constexpr char kCancelledByUser[] = "Error - cancelled by user.";
// The start of every text of a connection that broke mid-transfer.
inline constexpr char kConnectionLost[] = "Error 10053 - ";

// The whole reason of a task whose resume the server refused (403, 404 or
// 410) while its bytes stay on disk: signed links expire, and such a task
// waits for a new address of the same file.
inline constexpr char kAddressExpired[] = "The address has expired";

// The mark a failure's text carries for its outcome (OutcomeMarker), each
// inside the texts above, or, for " 404 ", inside "Error 404 from server: ...".
inline constexpr char kAlreadyExistedMark[] = "has already existed";
inline constexpr char kCancelledMark[] = "cancelled by user.";
inline constexpr char kNotFoundMark[] = " 404 ";
inline constexpr char kConnectionLostMark[] = "10053";
// A status text with either of these (each with its trailing space) is a fault.
inline constexpr char kErrorWord[] = "Error ";
inline constexpr char kFailWord[] = "Fail ";

}  // namespace dromo::texts
