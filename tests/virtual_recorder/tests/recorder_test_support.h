// Small helpers of the recorder's own tests: command blocks by hand and a temporary folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/virtual_recorder/portable/recorder_core.h"

namespace vcdr::testing_support {

inline std::vector<std::uint8_t> Cdb(std::initializer_list<int> bytes) {
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

inline std::vector<std::uint8_t> Write10Cdb(std::uint32_t lba, std::uint16_t blocks) {
    return {0x2A, 0, std::uint8_t(lba >> 24), std::uint8_t(lba >> 16), std::uint8_t(lba >> 8), std::uint8_t(lba), 0,
            std::uint8_t(blocks >> 8), std::uint8_t(blocks), 0};
}

struct Drive {
    RecorderCore& core;

    Answer Run(const std::vector<std::uint8_t>& cdb, Transfer dir = Transfer::None, std::vector<std::uint8_t>* data = nullptr) {
        return core.Execute(cdb.data(), cdb.size(), dir, data ? data->data() : nullptr,
                            data ? static_cast<std::uint32_t>(data->size()) : 0);
    }
    std::vector<std::uint8_t> In(const std::vector<std::uint8_t>& cdb, std::size_t length, Answer* answer = nullptr) {
        std::vector<std::uint8_t> data(length, 0xCC);
        const Answer a = Run(cdb, Transfer::In, &data);
        if (answer) *answer = a;
        return data;
    }
    // Page 5 with these bytes 2 (write type and flags), 3 (multisession, track mode), 4 (data
    // block type) and 5 (link size).
    Answer SelectPage(std::uint8_t b2, std::uint8_t b3, std::uint8_t b4, std::uint8_t b5 = 0) {
        std::vector<std::uint8_t> list(8 + 52, 0);
        list[8] = 0x05;
        list[9] = 0x32;
        list[10] = b2;
        list[11] = b3;
        list[12] = b4;
        list[13] = b5;
        return Run({0x55, 0x10, 0, 0, 0, 0, 0, 0, std::uint8_t(list.size()), 0}, Transfer::Out, &list);
    }
    // A track-at-once page 5 for a data disc; multisession unless finalized, BUFE when asked.
    Answer SelectWritePage(bool finalize = true, bool bufe = false) {
        return SelectPage(static_cast<std::uint8_t>(0x01 | (bufe ? 0x40 : 0)), finalize ? 0x04 : 0xC4, 0x08);
    }
    Answer Write(std::uint32_t lba, std::vector<std::uint8_t> sectors) {
        return Run(Write10Cdb(lba, static_cast<std::uint16_t>(sectors.size() / kSector)), Transfer::Out, &sectors);
    }
};

inline std::uint32_t Be32(const std::vector<std::uint8_t>& d, std::size_t at) {
    return std::uint32_t{d[at]} << 24 | std::uint32_t{d[at + 1]} << 16 | std::uint32_t{d[at + 2]} << 8 | d[at + 3];
}

inline std::vector<std::uint8_t> Pattern(std::size_t bytes, unsigned seed) {
    std::vector<std::uint8_t> v(bytes);
    std::mt19937 gen(seed);
    for (auto& b : v) b = static_cast<std::uint8_t>(gen());
    return v;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() / ("vcdr-test-" + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace vcdr::testing_support
