// The session-import fuzz target run for a minute from the peers' images, as ./fuzz.sh runs it:
// libFuzzer stops at the first crash, sanitizer report or time-out and saves the input.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

TEST(SessionImportFuzz, RunsAMinuteWithoutAFault) {
    const std::string log = VANTRELL_BUILD "/session-import-fuzz.log";
    const int status = std::system(("'" VANTRELL_ROOT "/fuzz.sh' session-import 60 >'" + log + "' 2>&1").c_str());
    std::ifstream in(log);
    const std::string output{std::istreambuf_iterator<char>(in), {}};
    const std::string tail = output.substr(output.size() > 6000 ? output.size() - 6000 : 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << tail;
    EXPECT_NE(output.find("stat::number_of_executed_units"), std::string::npos) << "libFuzzer did not run to its end";
}

}  // namespace
