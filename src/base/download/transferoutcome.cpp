#include "base/download/transferoutcome.h"

namespace dromo {

const char* OutcomeMarker(TransferOutcome outcome)
{
    switch (outcome) {
    case TransferOutcome::AlreadyExisted: return "has already existed";
    case TransferOutcome::Cancelled: return "cancelled by user.";
    case TransferOutcome::NotFound: return " 404 ";
    case TransferOutcome::ConnectionLost: return "10053";
    case TransferOutcome::Completed:
    case TransferOutcome::AccessDenied:
    case TransferOutcome::Failed: break;
    }
    return "";
}

}  // namespace dromo
