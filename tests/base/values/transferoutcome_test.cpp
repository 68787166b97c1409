#include "base/values/transferoutcome.h"

#include <gtest/gtest.h>

namespace dromo {
namespace {

// What follows each failure, for HTTP and FTP, with and without "Redial if
// Disconnected": the whole table the worker decides by.
TEST(AfterFailure, EachOutcomeIsFinalRetriedOrTheUsersOwnStop)
{
    using O = TransferOutcome;
    using A = AfterFailure;
    const struct {
        O outcome;
        A http;           // redial on
        A ftp;            // redial on
        A withoutRedial;  // either protocol, redial off
    } cases[] = {
        {O::Cancelled, A::Stopped, A::Stopped, A::Stopped},
        {O::NotFound, A::Final, A::Retried, A::Final},  // FTP's " 404 " is tried again
        {O::Gone, A::Final, A::Final, A::Final},
        {O::Expired, A::Final, A::Final, A::Final},  // only another address can continue the bytes
        {O::AccessDenied, A::Final, A::Final, A::Final},
        {O::ChecksumMismatch, A::Final, A::Final, A::Final},
        {O::SecureFailure, A::Final, A::Final, A::Final},
        {O::LocalFileError, A::Final, A::Final, A::Final},
        {O::ConnectionLost, A::Retried, A::Retried, A::Final},
        {O::TimedOut, A::Retried, A::Retried, A::Retried},
        {O::ServerError, A::Retried, A::Retried, A::Retried},
        {O::Failed, A::Retried, A::Retried, A::Retried},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(OutcomeName(c.outcome));
        EXPECT_EQ(AfterFailureOf(c.outcome, false, true), c.http);
        EXPECT_EQ(AfterFailureOf(c.outcome, true, true), c.ftp);
        if (c.outcome != O::NotFound) {
            EXPECT_EQ(AfterFailureOf(c.outcome, false, false), c.withoutRedial);
            EXPECT_EQ(AfterFailureOf(c.outcome, true, false), c.withoutRedial);
        } else {
            EXPECT_EQ(AfterFailureOf(c.outcome, false, false), A::Final);
            EXPECT_EQ(AfterFailureOf(c.outcome, true, false), A::Retried);
        }
    }
}

}  // namespace
}  // namespace dromo
