#include "burn/portable/start_arguments.h"

#include "editor/portable/portfolio_name.h"

namespace burn {

StartRequest ReadStartArguments(const std::vector<std::string>& args, std::string_view programFolder,
                                const std::function<bool(const std::string& path)>& isFolder) {
    StartRequest request;
    if (args.size() != 1) return request;
    request.PortfolioName = args[0];
    request.Verdict = StartVerdict::Refuse;
    // The same rule vantrell keeps before it builds or hands a name over: a plain folder name,
    // so that the path cannot climb out of "Distributable\" or point at another drive.
    if (!editor::PortfolioNameProblem(args[0], programFolder, editor::NameText::Utf8).empty()) return request;
    const std::string folder = editor::PortfolioFolder(programFolder, args[0]);
    if (!isFolder(folder)) return request;
    request.Verdict = StartVerdict::Burn;
    request.Folder = folder;
    return request;
}

}  // namespace burn
