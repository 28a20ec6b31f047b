// Windows test main: one application object for the whole run, message boxes and shell
// launches routed to in-process recorders, then GoogleTest.
#include <gtest/gtest.h>

#include "forms/application.h"
#include "forms/platform_calls.h"
#include "tests/support/win_recorders.h"

namespace testsupport {

std::vector<RecordedMessageBox>& MessageBoxes() {
    static std::vector<RecordedMessageBox> v;
    return v;
}

std::deque<int>& MessageBoxAnswers() {
    static std::deque<int> v;
    return v;
}

std::vector<RecordedShellLaunch>& ShellLaunches() {
    static std::vector<RecordedShellLaunch> v;
    return v;
}

INT_PTR& ShellLaunchResult() {
    static INT_PTR result = 42;
    return result;
}

void ResetRecorders() {
    MessageBoxes().clear();
    MessageBoxAnswers().clear();
    ShellLaunches().clear();
    ShellLaunchResult() = 42;
}

namespace {

int DefaultAnswer(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL: return IDOK;
        case MB_ABORTRETRYIGNORE: return IDABORT;
        case MB_YESNOCANCEL: case MB_YESNO: return IDYES;
        case MB_RETRYCANCEL: return IDRETRY;
        default: return IDOK;
    }
}

// Each test starts with empty recorders, no quit pending and the application running.
class ResetListener : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override {
        ResetRecorders();
        if (forms::Application != nullptr) forms::Application->ResetTerminated();
    }
};

}  // namespace
}  // namespace testsupport

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    forms::ApplicationScope application;
    forms::Application->SetTitle("Tests");
    forms::MessageBoxCall = [](HWND owner, const std::string& text, const std::string& caption, UINT type) {
        testsupport::MessageBoxes().push_back({owner, text, caption, type});
        auto& answers = testsupport::MessageBoxAnswers();
        if (answers.empty()) return testsupport::DefaultAnswer(type);
        int answer = answers.front();
        answers.pop_front();
        return answer;
    };
    forms::ShellExecuteCall = [](HWND owner, const std::string& operation, const std::string& file,
                                 const std::string& parameters, const std::string& directory, int show) {
        testsupport::ShellLaunches().push_back({owner, operation, file, parameters, directory, show});
        return testsupport::ShellLaunchResult();
    };
    testing::UnitTest::GetInstance()->listeners().Append(new testsupport::ResetListener);
    return RUN_ALL_TESTS();
}
