#include "editor/portable/shell_request.h"

#include <gtest/gtest.h>

namespace editor {
namespace {

TEST(ShellRequestProblem, RefusesOverLongStringsWholeInsteadOfCuttingThem) {
    const std::string fits(kShellStringLimit, 'a');
    const std::string tooLong(kShellStringLimit + 1, 'a');
    const struct { ShellRequest request; bool refused; } cases[] = {
        {{"C:\\V\\vantrell.pdf", "", "C:\\V\\"}, false},
        {{fits, fits, fits}, false},
        {{tooLong, "", "C:\\V\\"}, true},
        {{"C:\\V\\vantburn.exe", tooLong, "C:\\V\\"}, true},
        {{"C:\\V\\vantrell.pdf", "", tooLong}, true},
        {{"", "", "C:\\V\\"}, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(!ShellRequestProblem(c.request).empty(), c.refused) << c.request.file.size() << "/"
            << c.request.parameters.size() << "/" << c.request.folder.size();
    EXPECT_NE(ShellRequestProblem({"x", tooLong, ""}).find("parameters"), std::string::npos);
}

}  // namespace
}  // namespace editor
