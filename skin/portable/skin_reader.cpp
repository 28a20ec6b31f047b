#include "skin/portable/skin_reader.h"

#include <algorithm>
#include <cstring>

#include "forms/portable/text_case.h"
#include "skin/portable/lzh_decoder.h"

namespace skin {

namespace {

std::int32_t ReadInt32At(const std::uint8_t* bytes, std::int64_t size, std::int64_t offset) {
    std::uint8_t word[4] = {};  // bytes past the end read as 0
    for (int k = 0; k < 4; ++k) {
        if (offset + k < size) word[k] = bytes[offset + k];
    }
    return static_cast<std::int32_t>(word[0] | (word[1] << 8) | (word[2] << 16) | (std::uint32_t(word[3]) << 24));
}

}  // namespace

std::vector<std::string> SplitSkinLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

TSkinReader::TSkinReader() = default;

void TSkinReader::Unpack(forms::TMemoryStream& source, forms::TMemoryStream& target) {
    source.SetPosition(0);
    target.SetPosition(0);
    std::int32_t size = 0;
    if (source.Size() < 4) throw ElzhException("LZH : the skin stream is shorter than its size field");
    source.ReadBuffer(&size, 4);
    CheckUnpackedSize(size, source.Size() - 4);
    target.SetCapacity(target.Position() + size);
    TLZH().Decode(
        size, [&](const std::uint8_t* bytes, int n) { target.WriteBuffer(bytes, n); },
        [&](std::uint8_t* bytes, int n) { return static_cast<int>(source.Read(bytes, n)); });
}

bool TSkinReader::LoadSkinStream(forms::TMemoryStream& source) {
    forms::TMemoryStream archive;
    try {
        Unpack(source, archive);
    } catch (const ElzhException&) {
        return false;
    }
    return IndexArchive(archive.Memory(), archive.Size());
}

bool TSkinReader::IndexArchive(const std::uint8_t* bytes, std::int64_t size) {
    std::array<std::int32_t, 4> words{};
    for (int k = 0; k < 4; ++k) words[k] = ReadInt32At(bytes, size, 4 * k);
    if (words[0] != kSkinArchiveVersion) {
        if (ShowMessage) ShowMessage(kOlderSkinMessage);
        return false;
    }
    const std::int64_t nameLength = words[1];
    if (nameLength < 0 || nameLength > size - kSkinArchiveHeaderSize) return false;

    const std::string_view nameText(reinterpret_cast<const char*>(bytes) + kSkinArchiveHeaderSize,
                                    static_cast<std::size_t>(nameLength));
    std::vector<std::string> lines = SplitSkinLines(forms::LowerAscii(nameText));
    if (lines.size() > static_cast<std::size_t>(kMaxSkinEntries)) return false;
    std::array<std::int32_t, kMaxSkinEntries> table{};
    const std::int64_t tableStart = kSkinArchiveHeaderSize + nameLength;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        table[i] = ReadInt32At(bytes, size, tableStart + 4 * static_cast<std::int64_t>(i));
        if (table[i] < 0) return false;  // would shift every later entry
    }

    header = words;
    names = std::move(lines);
    count = static_cast<std::int32_t>(names.size());
    sizes = table;
    const std::int64_t dataStart = std::min(size, tableStart + 4 * static_cast<std::int64_t>(count));
    data.Clear();
    data.WriteBuffer(bytes + dataStart, size - dataStart);
    data.SetPosition(0);
    return true;
}

void TSkinReader::CopyFirst(const std::function<bool(const std::string&)>& matches, forms::TMemoryStream& target,
                            std::string* name) {
    target.Clear();
    std::int64_t offset = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        if (matches(names[i])) {
            const std::int64_t available = std::max<std::int64_t>(0, data.Size() - offset);
            const std::int64_t n = std::min<std::int64_t>(sizes[i], available);
            if (n > 0) target.WriteBuffer(data.Memory() + offset, n);
            target.SetPosition(0);
            if (name) *name = names[i];
            return;
        }
        offset += sizes[i];
    }
}

void TSkinReader::GetEntry(std::string_view name, forms::TMemoryStream& target) {
    const std::string wanted = forms::LowerAscii(name);
    CopyFirst([&](const std::string& entry) { return entry == wanted; }, target, nullptr);
}

void TSkinReader::FindEntry(std::string_view part, forms::TMemoryStream& target, std::string& name) {
    CopyFirst([&](const std::string& entry) { return entry.find(part) != std::string::npos; }, target, &name);
}

}  // namespace skin
