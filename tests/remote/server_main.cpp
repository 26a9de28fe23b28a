// GoogleTest main for the server tests: one QCoreApplication for the whole run (the sockets need
// its event loop; no windows are made).
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
