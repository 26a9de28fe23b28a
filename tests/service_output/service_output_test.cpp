// Service printing reaches the installed sink whole and formatted, and the process's standard
// output while none is installed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "service_output/service_output.h"

namespace {

std::vector<std::string> received;

void record(std::string_view text) {
    received.emplace_back(text);
}

class ServiceOutput : public ::testing::Test {
  protected:
    void SetUp() override { received.clear(); }
    void TearDown() override { korvel::set_service_output(nullptr); }
};

TEST_F(ServiceOutput, GoesToStandardOutputUntilASinkIsInstalledAndAfterItIsRemoved) {
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(korvel::service_printf("DAC R: %d-%02X\n", 3, 0x4D), 12);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "DAC R: 3-4D\n");

    korvel::set_service_output(record);
    ::testing::internal::CaptureStdout();
    korvel::service_printf("%f \n", 3.2999990f);
    korvel::set_service_output(nullptr);
    korvel::service_printf("after\n");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "after\n");
    EXPECT_EQ(received, std::vector<std::string>{"3.299999 \n"});
}

TEST_F(ServiceOutput, LongTextArrivesInOnePiece) {
    korvel::set_service_output(record);
    const std::string line(5000, 'x');
    EXPECT_EQ(korvel::service_printf("%s|", line.c_str()), 5001);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], line + "|");
}

TEST_F(ServiceOutput, AMissingFormatPrintsNothing) {
    korvel::set_service_output(record);
    EXPECT_LT(korvel::service_printf(nullptr), 0);
    EXPECT_TRUE(received.empty());
}

}  // namespace
