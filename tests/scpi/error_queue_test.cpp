// The error queue: oldest first, sixteen places, and overflow told in the last one.
#include <gtest/gtest.h>

#include "scpi/error_queue.h"

namespace {

using namespace korvel::scpi;

TEST(ErrorQueue, EmptyQueueSaysNoError) {
    ErrorQueue q;
    EXPECT_EQ(error_reply(q.pop()), "0,\"No error\"");
}

TEST(ErrorQueue, OldestFirstWithDetailsAndQuotesDoubled) {
    ErrorQueue q;
    q.push(Error{kDataOutOfRange, "SOURce:AMPLitude takes 0 to 600"});
    q.push(Error{kUndefinedHeader, "file \"x\""});
    EXPECT_EQ(error_reply(q.pop()), "-222,\"Data out of range;SOURce:AMPLitude takes 0 to 600\"");
    EXPECT_EQ(error_reply(q.pop()), "-113,\"Undefined header;file \"\"x\"\"\"");
    EXPECT_EQ(q.size(), 0u);
}

TEST(ErrorQueue, SixteenFitTheSeventeenthTurnsTheLastIntoOverflow) {
    ErrorQueue q;
    for (int i = 0; i < 16; ++i) q.push(Error{kSyntaxError, std::to_string(i)});
    EXPECT_EQ(q.size(), 16u);
    for (int i = 0; i < 5; ++i) q.push(Error{kCommandError, {}});
    EXPECT_EQ(q.size(), 16u);
    for (int i = 0; i < 15; ++i) EXPECT_EQ(q.pop().detail, std::to_string(i));
    EXPECT_EQ(q.pop().code, kQueueOverflow);
    EXPECT_EQ(q.pop().code, kNoError);
    // Room again: errors are taken as before.
    q.push(Error{kSyntaxError, {}});
    EXPECT_EQ(q.pop().code, kSyntaxError);
}

TEST(ErrorQueue, ClearEmptiesIt) {
    ErrorQueue q;
    q.push(Error{kSyntaxError, {}});
    q.clear();
    EXPECT_EQ(q.pop().code, kNoError);
}

}  // namespace
