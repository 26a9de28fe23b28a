// The emulated-USB tests run under umockdev's preload, which this program loads itself: it runs
// itself again with the preload when umockdev is installed. Listing the tests needs no preload.
#include <gtest/gtest.h>

#include <cstring>

#include "preload.h"

int main(int argc, char** argv) {
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    if (!listing) korvel::usbemu::reexec_with_preload(argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
