// The failure report of a GPIB call, as the bench operator has always seen it.
#include <array>
#include <cstdio>

#include "base/clock.h"
#include "gpib/console.h"
#include "gpib/error_codes.h"
#include "gpib/instrument_routines.h"

namespace korvel::gpib {
namespace {

struct StatusBitName {
    int bit;
    const char* name;
};

// In the report's order. SPOLL (0x0400) and EVENT (0x0200) are not named.
constexpr std::array<StatusBitName, 14> kStatusBits = {{
    {ERR, " ERR"},
    {TIMO, " TIMO"},
    {END, " END"},
    {SRQI, " SRQI"},
    {RQS, " RQS"},
    {CMPL, " CMPL"},
    {LOK, " LOK"},
    {REM, " REM"},
    {CIC, " CIC"},
    {ATN, " ATN"},
    {TACS, " TACS"},
    {LACS, " LACS"},
    {DTAS, " DTAS"},
    {DCAS, " DCAS"},
}};

template <class... Args>
void print(const char* format, Args... args) {
    char line[96];
    std::snprintf(line, sizeof line, format, args...);
    console_write(line);
}

}  // namespace

void GpibError(const char* message) {
    console_write(message != nullptr ? message : "");
    console_write("\n");

    print("ibsta = 0x%x  <", ibsta);
    for (const StatusBitName& b : kStatusBits)
        if ((ibsta & b.bit) != 0) console_write(b.name);
    console_write(" >\n");

    // A code the standard list does not name gets no line of its own, so ibcnt follows on the
    // same line.
    print("iberr = %d", iberr);
    if (const ErrorCodeText* text = error_code_text(iberr))
        print(" %s <%s>\n", text->name, text->meaning);

    print("ibcnt = %u\n", static_cast<unsigned>(ibcnt));
    console_write("\n");

    // Samp is taken offline whichever instrument failed. While Samp has never been opened its
    // descriptor is still 0, which the driver takes for board 0 itself: taking that offline would
    // cut every instrument off the bus, so there is nothing to do then.
    if (samp_ud != 0) ibonl(samp_ud, 0);

    Delay(1.0);
    console_write("An HPIB error has occured.  Hit return to continue...");
    console_getchar();  // end of input counts as Return
}

}  // namespace korvel::gpib
