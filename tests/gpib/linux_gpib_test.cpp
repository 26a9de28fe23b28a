// The backend over the Linux GPIB driver's library: a missing library, a library without the
// calls, and a stand-in library with the same entry points (FAKE_LIBGPIB_*, built beside).
#include <string>

#include "gpib/linux_gpib/linux_gpib_backend.h"
#include "gpib_fixture.h"

namespace korvel::gpib::testing {
namespace {

using LinuxGpibTest = GpibTest;

constexpr const char* kAbsentLibrary = "libkorvel-test-absent-gpib.so.0";

TEST_F(LinuxGpibTest, AMissingLibraryIsReportedAndEveryCallFailsWithEdvr) {
    select_linux_gpib(kAbsentLibrary);
    const std::string note = output;
    EXPECT_TRUE(note.starts_with(std::string("The GPIB library ") + kAbsentLibrary +
                                 " could not be loaded (" + kAbsentLibrary))
        << note;
    EXPECT_TRUE(note.ends_with("). Every GPIB call fails with EDVR (driver error).\n")) << note;

    output.clear();
    GPIB_Init_Samp();
    EXPECT_EQ(samp_ud, -1);
    const std::string edvr =
        "ibsta = 0x8000  < ERR >\niberr = 0 EDVR <Driver error>\nibcnt = 0\n\n";
    EXPECT_EQ(output, "ibdev Error\n" + edvr + kPrompt + "ibclr Error\n" + edvr + kPrompt);

    char buffer[8];
    for (const int sta : {ibclr(16), ibonl(16, 0), ibwrt(16, "x", 1), ibrd(16, buffer, 8)})
        EXPECT_EQ(sta, ERR);
    EXPECT_EQ(iberr, EDVR);
    EXPECT_EQ(ibcnt, 0);
}

TEST_F(LinuxGpibTest, ALibraryWithoutTheCallsIsNotUsed) {
    const LinuxGpibBackend math("libm.so.6");
    EXPECT_FALSE(math.loaded());
    EXPECT_EQ(math.load_problem(),
              "The GPIB library libm.so.6 could not be loaded (it has no ibdev).");
}

TEST_F(LinuxGpibTest, TheLibrarysCallsAndStatusComeThrough) {
    for (const char* library : {FAKE_LIBGPIB_ACCESSORS, FAKE_LIBGPIB_VARIABLES}) {
        SCOPED_TRACE(library);
        output.clear();
        select_linux_gpib(library);
        EXPECT_EQ(output, "");
        EXPECT_EQ(ibdev(1, 8, 0, T10s, 1, 0), -1);
        EXPECT_EQ(ibsta, ERR);
        EXPECT_EQ(iberr, ENEB);

        GPIB_Init_Samp();
        EXPECT_EQ(samp_ud, 108);
        ID_Instrument_Samp();  // the stand-in echoes what it was sent
        EXPECT_EQ(output, "*IDN?\n");
        EXPECT_EQ(ibsta, END | CMPL);
        EXPECT_EQ(ibcnt, 5);
    }
}

}  // namespace
}  // namespace korvel::gpib::testing
