#include "tests/support/process_driver.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <thread>

namespace testsupport {
namespace {

std::vector<std::vector<std::string>> WaitForLaunches(const ShellRecorder& recorder, size_t count) {
    for (int i = 0; i < 200; ++i) {
        auto launches = recorder.Launches();
        if (launches.size() >= count) return launches;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return recorder.Launches();
}

// The recorder stands in for the document viewer and the browser: a shell launch of a
// document or an address reaches it with the target and the working folder.
TEST(ShellRecorder, ObservesDocumentAndAddressLaunches) {
    ShellRecorder recorder({".pdf", "http"});
    TempFolder folder;
    const std::string document = folder.Path() + "help.pdf";
    CloseHandle(CreateFileA(document.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));

    ASSERT_GT(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, nullptr, document.c_str(), nullptr, folder.Path().c_str(), SW_SHOWNORMAL)), 32);
    auto launches = WaitForLaunches(recorder, 1);
    ASSERT_EQ(launches.size(), 1u);
    ASSERT_EQ(launches[0].size(), 2u);
    EXPECT_EQ(lstrcmpiA((launches[0][0] + "\\").c_str(), folder.Path().c_str()), 0) << launches[0][0];
    EXPECT_EQ(lstrcmpiA(launches[0][1].c_str(), document.c_str()), 0) << launches[0][1];

    ASSERT_GT(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", "http://example.invalid/x", nullptr, nullptr, SW_SHOWNORMAL)), 32);
    launches = WaitForLaunches(recorder, 2);
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[1].back(), "http://example.invalid/x");
}

}  // namespace
}  // namespace testsupport
