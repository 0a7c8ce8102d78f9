#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>

#include "app/Flikka.h"

// With no terminal on standard input nobody could answer the prompt: it must not wait.
TEST(ClosePrompt, ReturnsAtOnceWithoutATerminal) {
    const int saved = dup(STDIN_FILENO);
    ASSERT_GE(saved, 0);
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);  // a pipe that never delivers a byte: a read would block
    ASSERT_GE(dup2(pipeFds[0], STDIN_FILENO), 0);
    const auto start = std::chrono::steady_clock::now();
    testing::internal::CaptureStdout();
    flikka::closePrompt();
    const std::string out = testing::internal::GetCapturedStdout();
    const auto took = std::chrono::steady_clock::now() - start;
    dup2(saved, STDIN_FILENO);
    close(saved);
    close(pipeFds[0]);
    close(pipeFds[1]);
    EXPECT_LT(took, std::chrono::seconds(2));
    EXPECT_EQ(out.find("press any key"), std::string::npos);
}
