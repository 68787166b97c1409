#pragma once

namespace dromo {

// What a transfer call came to. The worker decides retries and the next
// state by it; the engine's text says the same in words, and keeps the
// marker each outcome has always carried (OutcomeMarker), since the Status
// column, the history page and stored profiles show those texts.
enum class TransferOutcome {
    Completed,       // the file is whole
    AlreadyExisted,  // the same file was already there: "has already existed"
    Cancelled,       // ended by Abort: "cancelled by user."
    NotFound,        // the HTTP server has no such file: " 404 "
    AccessDenied,    // the HTTP server refused the request (401 or 403)
    ConnectionLost,  // the connection broke mid-transfer: "10053"
    Failed,          // any other failure
};

// The text an outcome's message always contains ("" for Completed,
// AccessDenied and Failed, which never had one).
const char* OutcomeMarker(TransferOutcome outcome);

}  // namespace dromo
