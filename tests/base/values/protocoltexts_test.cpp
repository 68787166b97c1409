#include "base/values/protocoltexts.h"

#include <gtest/gtest.h>

#include <string>

#include "base/values/transferoutcome.h"

namespace dromo {
namespace {

// Each text the engine ends a transfer with carries the mark the worker
// decides by, and the outcome names that same mark: a text reworded on one
// side only would send the task to the wrong state.
TEST(ProtocolTexts, EveryEndingTextCarriesTheMarkTheWorkerLooksFor)
{
    const struct {
        std::string text;
        TransferOutcome outcome;
        const char* mark;
    } cases[] = {
        {texts::kFileAlreadyExisted, TransferOutcome::AlreadyExisted, texts::kAlreadyExistedMark},
        {texts::kCancelledByUser, TransferOutcome::Cancelled, texts::kCancelledMark},
        {std::string(texts::kConnectionLost) + "connection closed after 1 of 2 bytes", TransferOutcome::ConnectionLost,
         texts::kConnectionLostMark},
        {"Error 404 from server: Not Found", TransferOutcome::NotFound, texts::kNotFoundMark},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(OutcomeMarker(c.outcome), c.mark) << c.text;
        EXPECT_NE(c.text.find(c.mark), std::string::npos) << c.text;
    }
    for (const TransferOutcome quiet :
         {TransferOutcome::Completed, TransferOutcome::Failed, TransferOutcome::AccessDenied}) {
        EXPECT_STREQ(OutcomeMarker(quiet), "");
    }
    // The texts the lost-connection and cancel marks are found in are faults.
    EXPECT_EQ(std::string(texts::kConnectionLost).rfind(texts::kErrorWord, 0), 0u);
    EXPECT_EQ(std::string(texts::kCancelledByUser).rfind(texts::kErrorWord, 0), 0u);
    EXPECT_EQ(std::string(texts::kFileDownloaded).find(texts::kErrorWord), std::string::npos);
}

}  // namespace
}  // namespace dromo
