// How KORVEL_BACKEND picks the backend. The first test runs in processes started with different
// values of the variable (see CMakeLists.txt) and checks the choice made at first use.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "ftdi/backend_select.h"
#include "ftdi/ftd2xx.h"

namespace {

using korvel::ftdi::BackendKind;

TEST(BackendChoice, FirstUseFollowsTheEnvironment) {
    const char* expected = std::getenv("KORVEL_EXPECTED_BACKEND");
    if (expected == nullptr) GTEST_SKIP() << "run through CTest";
    testing::internal::CaptureStderr();
    DWORD count = 0;
    FT_CreateDeviceInfoList(&count);
    const std::string warnings = testing::internal::GetCapturedStderr();
    EXPECT_EQ(korvel::ftdi::selected_backend(), korvel::ftdi::parse_backend_name(expected));
    const char* value = std::getenv("KORVEL_BACKEND");
    const bool known = value == nullptr || korvel::ftdi::parse_backend_name(value).has_value();
    EXPECT_EQ(warnings.empty(), known) << warnings;
}

TEST(BackendChoice, NamesAndWarnings) {
    std::ostringstream warnings;
    EXPECT_EQ(korvel::ftdi::backend_kind_from_environment(nullptr, warnings), BackendKind::Ftdi);
    EXPECT_EQ(korvel::ftdi::backend_kind_from_environment("", warnings), BackendKind::Ftdi);
    EXPECT_EQ(korvel::ftdi::backend_kind_from_environment("ftdi", warnings), BackendKind::Ftdi);
    EXPECT_EQ(korvel::ftdi::backend_kind_from_environment("sim", warnings), BackendKind::Sim);
    EXPECT_TRUE(warnings.str().empty());

    EXPECT_EQ(korvel::ftdi::backend_kind_from_environment("SIM ", warnings), BackendKind::Ftdi);
    const std::string text = warnings.str();
    EXPECT_NE(text.find("\"SIM \""), std::string::npos) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
}

}  // namespace
