#include "fuzz/skin_fuzz_entry.h"

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/allocation_meter.h"
#include "skin/portable/skin_parse.h"
#include "skin/portable/skin_reader.h"
#include "tools/skin_pack/bmp_writer.h"
#include "tools/skin_pack/skin_archive.h"

namespace fuzz {

namespace {

constexpr int kScrollBar = 17;

void Fill(forms::TMemoryStream& s, const std::uint8_t* data, std::size_t size) {
    if (size > 0) s.WriteBuffer(data, static_cast<std::int64_t>(size));
    s.SetPosition(0);
}

skin_pack::Rgb24Picture Picture(int w, int h) {
    skin_pack::Rgb24Picture p{w, h, {}};
    for (int i = 0; i < w * h; ++i) p.pixels.push_back(i % 3 == 0 ? 0xFF00FFu : 0x102030u * (i % 7));
    return p;
}

}  // namespace

void FuzzSkinStreamOnce(const std::uint8_t* data, std::size_t size) {
    forms::TMemoryStream source;
    Fill(source, data, size);
    skin::TSkinReader reader;
    if (!reader.LoadSkinStream(source)) return;
    forms::TMemoryStream entry;
    std::uint64_t sum = 0;
    for (const std::string& name : reader.names) {
        reader.GetEntry(name, entry);
        for (std::int64_t i = 0; i < entry.Size(); ++i) sum += entry.Memory()[i];  // touch every byte
    }
    std::string name;
    reader.FindEntry(".ini", entry, name);
    if (sum == 1) std::memset(&sum, 0, sizeof sum);  // keeps the reads from being optimised away
}

namespace {

void ParseSkinText(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t* zero = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
    const std::size_t textSize = zero ? static_cast<std::size_t>(zero - data) : size;
    std::vector<skin_pack::SkinEntry> entries = {{"skin.ini", {data, data + textSize}},
                                                 {"a.bmp", skin_pack::Bmp24Bytes(Picture(24, 6))},
                                                 {"b.bmp", skin_pack::Bmp24Bytes(Picture(13, 4))},
                                                 {"c.bmp", skin_pack::Bmp24Bytes(Picture(1, 1))}};
    if (zero) entries.push_back({"f.bmp", {zero + 1, data + size}});
    const std::vector<std::uint8_t> archive = skin_pack::ArchiveBytes(entries);

    // Indexed straight from its bytes: the decoding of hostile bits is the other target's work,
    // and coding every input would cost more than the parse.
    skin::TSkinReader reader;
    if (!reader.IndexArchive(archive.data(), static_cast<std::int64_t>(archive.size()))) return;
    forms::TMemoryStream text;
    std::string name;
    reader.FindEntry(".ini", text, name);
    skin::TQuickIni ini;
    ini.LoadFromStream(text);
    skin::ParseSkin(ini, reader, kScrollBar, nullptr);
}

}  // namespace

InputCost FuzzSkinTextOnce(const std::uint8_t* data, std::size_t size) {
    const std::size_t before = ResetAllocationPeak();
    const auto start = std::chrono::steady_clock::now();
    ParseSkinText(data, size);
    InputCost cost;
    cost.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    cost.peakBytes = AllocationPeak() - before;
    return cost;
}

std::string ExceededMemory(const InputCost& cost, std::size_t inputSize) {
    const std::size_t bound = kFixedBytesBound + kBytesPerInputByte * inputSize;
    if (cost.peakBytes <= bound) return {};
    return "an input of " + std::to_string(inputSize) + " bytes held " + std::to_string(cost.peakBytes) +
           " bytes at its peak, past the bound of " + std::to_string(bound);
}

std::string ExceededTime(const InputCost& cost) {
    if (cost.seconds <= kSecondsBound) return {};
    return "an input took " + std::to_string(cost.seconds) + " s, past the bound of " + std::to_string(kSecondsBound) + " s";
}

}  // namespace fuzz
