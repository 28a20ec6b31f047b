// What vantburn's command line asks for: the folder of one built portfolio, or nothing to do.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace burn {

inline constexpr char kNotCalledMessage[] = "Not called from Vantrell. Terminating.";
inline constexpr char kNoPortfolioMessage[] =
    "This Portfolio cannot be burned: its name does not match a built Portfolio in the \"Distributable\" folder.";

enum class StartVerdict { Terminate, Refuse, Burn };

struct StartRequest {
    StartVerdict Verdict = StartVerdict::Terminate;
    std::string PortfolioName;
    std::string Folder;  // set for Burn: programFolder + "Distributable\" + the name
};

// args without the program's own path; programFolder with its trailing backslash; all three
// paths in UTF-8. Only a name
// vantrell could have given and whose folder exists is burned.
StartRequest ReadStartArguments(const std::vector<std::string>& args, std::string_view programFolder,
                                const std::function<bool(const std::string& path)>& isFolder);

}  // namespace burn
