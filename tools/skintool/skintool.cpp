// skintool: looks into skin streams for people and tests.
//   skintool unpack STREAM ARCHIVE     the unpacked archive's bytes
//   skintool list STREAM               one "size name" line per entry
//   skintool extract STREAM DIR        every entry as a file in DIR
//   skintool lha STREAM OUT.lzh NAME   the coded bits as one LHA -lh1- member called NAME
//   skintool pack FILE STREAM          FILE's bytes packed as a skin stream (no archive checks)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "skin/portable/lzh_decoder.h"
#include "skin/portable/skin_reader.h"
#include "tools/skin_pack/lzh_encoder.h"
#include "tools/skin_pack/skin_archive.h"

namespace {

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const void* bytes, std::size_t size) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(size));
        if (!out) throw std::runtime_error("cannot write " + temporary);
    }
    std::filesystem::rename(temporary, path);
}

void Fill(forms::TMemoryStream& s, const std::vector<std::uint8_t>& bytes) {
    if (!bytes.empty()) s.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    s.SetPosition(0);
}

void LoadOrFail(skin::TSkinReader& reader, const std::string& path) {
    forms::TMemoryStream source;
    Fill(source, ReadFile(path));
    reader.ShowMessage = [](const std::string& text) { std::cerr << text << '\n'; };
    if (!reader.LoadSkinStream(source)) throw std::runtime_error(path + " is no skin stream this engine accepts");
}

int Run(const std::vector<std::string>& args) {
    if (args.size() == 3 && args[0] == "unpack") {
        forms::TMemoryStream source;
    Fill(source, ReadFile(args[1]));
        forms::TMemoryStream archive;
        skin::TSkinReader::Unpack(source, archive);
        WriteFile(args[2], archive.Memory(), static_cast<std::size_t>(archive.Size()));
        return 0;
    }
    if (args.size() == 2 && args[0] == "list") {
        skin::TSkinReader reader;
        LoadOrFail(reader, args[1]);
        for (std::int32_t i = 0; i < reader.count; ++i) std::cout << reader.sizes[i] << ' ' << reader.names[i] << '\n';
        return 0;
    }
    if (args.size() == 3 && args[0] == "extract") {
        skin::TSkinReader reader;
        LoadOrFail(reader, args[1]);
        std::filesystem::create_directories(args[2]);
        for (const std::string& name : reader.names) {
            if (name.empty() || name.find_first_of("/\\:") != std::string::npos || name == "." || name == "..")
                throw std::runtime_error("entry name \"" + name + "\" is no plain file name");
            forms::TMemoryStream entry;
            reader.GetEntry(name, entry);
            WriteFile((std::filesystem::path(args[2]) / name).string(), entry.Memory(), static_cast<std::size_t>(entry.Size()));
        }
        return 0;
    }
    if (args.size() == 4 && args[0] == "lha") {
        const std::vector<std::uint8_t> stream = ReadFile(args[1]);
        forms::TMemoryStream source;
    Fill(source, stream);
        forms::TMemoryStream archive;
        skin::TSkinReader::Unpack(source, archive);
        const std::vector<std::uint8_t> coded(stream.begin() + 4, stream.end());
        const std::vector<std::uint8_t> lha = skin_pack::LhaArchive(
            {{args[3], {archive.Memory(), static_cast<std::size_t>(archive.Size())}, coded}});
        WriteFile(args[2], lha.data(), lha.size());
        return 0;
    }
    if (args.size() == 3 && args[0] == "pack") {
        const std::vector<std::uint8_t> stream = skin_pack::PackSkinStream(ReadFile(args[1]));
        WriteFile(args[2], stream.data(), stream.size());
        return 0;
    }
    std::cerr << "usage: skintool unpack STREAM ARCHIVE | list STREAM | extract STREAM DIR |"
                 " lha STREAM OUT.lzh NAME | pack FILE STREAM\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::cerr << "skintool: " << e.what() << '\n';
        return 1;
    }
}
