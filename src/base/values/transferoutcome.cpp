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
    case TransferOutcome::Completed:
    case TransferOutcome::AccessDenied:
    case TransferOutcome::Failed: break;
    }
    return "";
}

}  // namespace dromo
