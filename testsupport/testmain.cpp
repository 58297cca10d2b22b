// GoogleTest main for the Qt-free test binaries.
#include <gtest/gtest.h>

#include <csignal>

int main(int argc, char **argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // A peer that closes early must fail a test, not kill the binary.
    std::signal(SIGPIPE, SIG_IGN);
    return RUN_ALL_TESTS();
}
