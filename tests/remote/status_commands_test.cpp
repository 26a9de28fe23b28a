// IEEE 488.2 status reporting, units, saved setups and the self-test, as a session sees them; and
// what a session does while a message box waits or cannot be shown.
#include "platform/host_services.h"
#include "remote/device_messages.h"
#include "remote_fixture.h"

using namespace korvel::app;
using korvel::testing::unit_story;

namespace {

struct Exchange {
    const char* line;
    const char* reply;
};

class StatusCommands : public RemoteTest {
  protected:
    void run(std::initializer_list<Exchange> script) {
        for (const Exchange& e : script) EXPECT_EQ(send(e.line), e.reply) << e.line;
    }
};

TEST_F(StatusCommands, RegistersFollowErrorsCommandsAndTheUnit) {
    run({
        {"SOUR:AMPL 700;*ESR?;*STB?", ""},  // -222 ends the line
        {"*ESR?;*STB?", "16;20"},           // execution error; the queue holds it; a reply waits
        {"*CLS;*ESR?;*STB?;SYST:ERR:COUN?", "0;16;0"},
        {"BOGUS", ""},
        {"*ESE 32;*SRE 36;*STB?", "100"},  // ESB and EAV, and MSS as both are enabled
        {"*ESE?;*SRE?;*OPC;*ESR?", "32;36;33"},
        {"*ESE 256;*ESE #H1", ""},  // out of range: nothing changes
        {"SYST:ERR:COUN?;ALL?;COUN?",
         "2;-113,\"Undefined header\",-222,\"Data out of range;*ESE takes 0 to 255\";0"},
        {"SYST:ERR:ALL?;:SYST:VERS?;*OPT?;*OPC?;*WAI", "0,\"No error\";1999.0;0;1"},
        {"STAT:QUES:ENAB 512;PTR 0;NTR 512;:STAT:QUES:ENAB?;PTR?;NTR?", "512;0;512"},
        {"STAT:PRES;:STAT:QUES:ENAB?;PTR?;NTR?", "0;32767;0"},
        {"STAT:QUES:ENAB 512;:STAT:OPER:ENAB 32768", ""},      // -222
        {"STAT:OPER:ENAB?;*ESR?;:STAT:OPER:PTR 1,2", "0;16"},  // -108
        {"SYST:ERR?;ERR?",
         "-222,\"Data out of range;STATus register takes 0 to 32767\";"
         "-108,\"Parameter not allowed\""},
    });
    board().detach();
    tick();
    run({{"STAT:QUES:COND?;*STB?;:STAT:QUES?;*STB?", "512;120;512;112"}});
}

TEST_F(StatusCommands, AmplitudeAndDutyCycleTakeTheirUnits) {
    run({
        {"SOUR:AMPL 300mV;AMPL?", "300"},
        {"SOUR:AMPL 0.25 v;AMPL?", "250"},
        {"SOUR:AMPL 200000UV;AMPL?", "200"},
        {"SOUR:DCYC 52PCT;DCYC?", "52"},
        {"SOUR:DCYC 52 MV", ""},
        {"TRIG:MODE MAN;DIV #H10;DIV?", "16"},
        {"TRIG:DIV 3 PCT", ""},
        {"SYST:ERR?;ERR?", "-131,\"Invalid suffix;MV\";-131,\"Invalid suffix;PCT\""},
    });
}

TEST_F(StatusCommands, SavedSetupsComeBackAndTheLearnStringRestoresToo) {
    run({
        {"SOUR:PATT PRBS23;AMPL 300;:TRIG:MODE MAN;DIV 9;*SAV 3", ""},
        {"*RST;*RCL 3;:SOUR:PATT?;:TRIG:DIV?", "PRBS23;9"},
        {"*RCL 4", ""},
        {"*SAV 10", ""},
        {"SYST:ERR?;ERR?",
         "-222,\"Data out of range;no setup saved as setup4.cfg\";"
         "-222,\"Data out of range;the setup number takes 0 to 9\""},
    });
    const std::string learned = send("*LRN?");
    EXPECT_EQ(learned,
              ":SOUR:PATT PRBS23;:SOUR:DCYC 50;:SOUR:AMPL 300;:OUTP:CLOC1 0;:SOUR:POL NORM;"
              ":ERR:STAT 0;:TRIG:MODE MAN;:TRIG:DIV 9");
    run({{"*RST", ""}});
    send(learned);
    EXPECT_EQ(send("*LRN?;SYST:ERR?"), learned + ";0,\"No error\"");
}

TEST_F(StatusCommands, SelfTestReadsEveryChipAndChangesNothing) {
    EXPECT_EQ(send("*TST?"), "0");
    for (const std::string& access : unit_story())
        EXPECT_EQ(access.find('='), std::string::npos) << access;  // reads only
    // The first expander's address is not acknowledged (the ack read fails).
    korvel::sim::usb().fail_call(korvel::sim::Call::GetBitMode, 10, korvel::sim::kInvalidParameter);
    EXPECT_EQ(send("*TST?;:SYST:ERR?;ERR?"),
              "1;-330,\"Self-test failed;expander 0xA4\";0,\"No error\"");
    board().detach();
    tick();
    EXPECT_EQ(send("*TST?;:SYST:ERR?"), "31;-330,\"Self-test failed;unit not connected\"");
}

TEST_F(StatusCommands, UnseenBoxesReachEveryOpenSessionAndLaterOnesGetTheLast16) {
    auto& messages = korvel::remote::device_messages();
    korvel::platform::set_message_taker([&](std::string_view title, std::string_view text) {
        messages.post(std::string(title) + ": " + std::string(text));
    });
    for (int i = 0; i < 20; ++i) MessagePopup("Box", std::to_string(i).c_str());
    MessagePopup("Restore Error", "Unable to find Restore File");
    korvel::platform::set_message_taker(nullptr);
    EXPECT_TRUE(host().popups.empty());  // nothing was shown
    EXPECT_EQ(send("SYST:ERR:COUN?;*ESR?;:SYST:ERR?"), "16;8;+100,\"Box: 0\"");
    korvel::remote::Session later;
    EXPECT_EQ(later.errors().size(), 16u);
    EXPECT_EQ(later.run_line("SYST:ERR?"), "+100,\"Box: 5\"\n");
    messages.clear();
}

}  // namespace
