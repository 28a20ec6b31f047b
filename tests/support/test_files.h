// Whole-file reads and writes for tests that set up and check program folders.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace testsupport {

inline std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace testsupport
