// The IEEE 488.2 / SCPI status registers of one session, on their own.
#include <gtest/gtest.h>

#include "scpi/status_registers.h"

namespace {

using namespace korvel::scpi;

TEST(StatusRegisters, EachErrorClassSetsItsEventBitAndTheQueueShowsInTheStatusByte) {
    struct Case {
        int code;
        unsigned bit;
    };
    for (const Case& c :
         {Case{-113, kEsrCommandError}, Case{-222, kEsrExecutionError}, Case{-330, kEsrDeviceError},
          Case{-350, kEsrDeviceError}, Case{100, kEsrDeviceError}, Case{-410, kEsrQueryError}}) {
        StatusRegisters s;
        s.set_event_enable(c.bit);
        s.report(Error{c.code, {}});
        EXPECT_EQ(s.status_byte(false), kStbErrorAvailable | kStbEventSummary) << c.code;
        EXPECT_EQ(s.take_event_status(), c.bit) << c.code;
        EXPECT_EQ(s.take_event_status(), 0u) << c.code;  // read and cleared
        s.clear();
        EXPECT_EQ(s.status_byte(false), 0u) << c.code;
    }
}

TEST(StatusRegisters, GroupsLatchTheEdgesTheirFiltersPassAndSummariseWhatIsEnabled) {
    struct Case {
        unsigned ptr, ntr;
        unsigned event_after_rise, event_after_fall;
    };
    for (const Case& c : {Case{0x7FFF, 0, kQuesUnitMissing, 0},
                          Case{0, 0x7FFF, 0, kQuesUnitMissing}, Case{0, 0, 0, 0}}) {
        StatusRegisters s;
        s.questionable.set_positive_filter(c.ptr);
        s.questionable.set_negative_filter(c.ntr);
        s.questionable.set_enable(0xFFFFFFFF);  // beyond 15 bits is cut off
        EXPECT_EQ(s.questionable.enable(), 0x7FFFu);
        s.set_conditions(0, kQuesUnitMissing | 0x10000);
        EXPECT_EQ(s.questionable.condition(), kQuesUnitMissing);
        EXPECT_EQ(s.status_byte(false), c.event_after_rise ? kStbQuestionable : 0u);
        EXPECT_EQ(s.questionable.take_event(), c.event_after_rise);
        s.set_conditions(0, 0);
        EXPECT_EQ(s.questionable.take_event(), c.event_after_fall);
    }
}

TEST(StatusRegisters, OperationCompleteWaitsForALoadInProgress) {
    for (const bool loading : {false, true}) {
        StatusRegisters s;
        s.set_conditions(loading ? kOperLoading : 0, 0);
        EXPECT_EQ(s.operation_pending(), loading);
        s.request_operation_complete();
        EXPECT_EQ(s.take_event_status(), loading ? 0u : kEsrOperationComplete);
        s.set_conditions(0, 0);
        EXPECT_EQ(s.take_event_status(), loading ? kEsrOperationComplete : 0u);
    }
    StatusRegisters s;  // *CLS forgets a waiting *OPC
    s.set_conditions(kOperLoading, 0);
    s.request_operation_complete();
    s.clear();
    s.set_conditions(0, 0);
    EXPECT_EQ(s.take_event_status(), 0u);
}

}  // namespace
