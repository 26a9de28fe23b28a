// The unit vanishing at any driver call of a pin write leaves the driver in one piece and the
// next open works.
#include "ds4520/ds4520.h"
#include "link/usb_link.h"
#include "unit_fixture.h"

namespace korvel {
namespace {

using Ds4520Faults = testing::UnitFixture;

TEST_F(Ds4520Faults, DetachBeforeEveryDriverCallOfAPinWrite) {
    open_unit();
    DS4520_IO_write(3, 0, 1);
    const std::uint64_t calls = usb().total_calls();
    ASSERT_GT(calls, 500u);

    for (std::uint64_t n = 1; n <= calls; ++n) {
        SCOPED_TRACE(::testing::Message() << "detached before call " << n);
        SetUp();
        open_unit();
        usb().detach_before_call(n);
        DS4520_IO_write(3, 0, 1);
        EXPECT_FALSE(board().attached());
        EXPECT_EQ(usb_aliveQ(), 0);

        board().attach();
        ASSERT_EQ(init_usb(), 1);
        board().expander(3).pullup = board().expander(3).control = 0x002;
        DS4520_IO_write(3, 0, 1);
        ASSERT_EQ(board().expander(3).control & 0xFF, 0x03);
    }
}

}  // namespace
}  // namespace korvel
