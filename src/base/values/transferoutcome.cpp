#include "base/values/transferoutcome.h"

#include "base/values/protocoltexts.h"

namespace dromo {

const char* OutcomeMarker(TransferOutcome outcome)
{
    switch (outcome) {
    case TransferOutcome::AlreadyExisted: return texts::kAlreadyExistedMark;
    case TransferOutcome::Cancelled: return texts::kCancelledMark;
    case TransferOutcome::NotFound: return texts::kNotFoundMark;
    case TransferOutcome::ConnectionLost: return texts::kConnectionLostMark;
    default: return "";
    }
}

AfterFailure AfterFailureOf(TransferOutcome outcome, bool ftp, bool redialIfDisconnected)
{
    switch (outcome) {
    case TransferOutcome::Cancelled: return AfterFailure::Stopped;
    case TransferOutcome::NotFound: return ftp ? AfterFailure::Retried : AfterFailure::Final;
    case TransferOutcome::ConnectionLost: return redialIfDisconnected ? AfterFailure::Retried : AfterFailure::Final;
    case TransferOutcome::AccessDenied:
    case TransferOutcome::Gone:
    case TransferOutcome::Expired:
    case TransferOutcome::ChecksumMismatch:
    case TransferOutcome::SecureFailure:
    case TransferOutcome::LocalFileError: return AfterFailure::Final;
    case TransferOutcome::Completed:
    case TransferOutcome::AlreadyExisted:
    case TransferOutcome::Failed:
    case TransferOutcome::TimedOut:
    case TransferOutcome::ServerError: break;
    }
    return AfterFailure::Retried;
}

const char* OutcomeName(TransferOutcome outcome)
{
    switch (outcome) {
    case TransferOutcome::Completed: return "Completed";
    case TransferOutcome::AlreadyExisted: return "AlreadyExisted";
    case TransferOutcome::Cancelled: return "Cancelled";
    case TransferOutcome::NotFound: return "NotFound";
    case TransferOutcome::AccessDenied: return "AccessDenied";
    case TransferOutcome::ConnectionLost: return "ConnectionLost";
    case TransferOutcome::Failed: return "Failed";
    case TransferOutcome::Gone: return "Gone";
    case TransferOutcome::ChecksumMismatch: return "ChecksumMismatch";
    case TransferOutcome::SecureFailure: return "SecureFailure";
    case TransferOutcome::LocalFileError: return "LocalFileError";
    case TransferOutcome::TimedOut: return "TimedOut";
    case TransferOutcome::ServerError: return "ServerError";
    case TransferOutcome::Expired: return "Expired";
    }
    return "Unknown";
}

}  // namespace dromo
