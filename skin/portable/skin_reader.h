// TSkinReader: unpacks a skin stream and finds the archive's entries by name.
//
// Skin stream: int32 U (the archive's size), then the LZHUF-coded archive. Archive: int32
// version 20000, int32 L, two reserved int32, L bytes of entry names one per line, one int32
// size per name, then the entries' bytes back to back in name order.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/portable/streams.h"

namespace skin {

constexpr std::int32_t kSkinArchiveVersion = 20000;
constexpr int kSkinArchiveHeaderSize = 16;
constexpr int kMaxSkinEntries = 1001;
inline constexpr const char* kOlderSkinMessage = "This is Older Skin File\rPlease update to new version !";

class TSkinReader {
public:
    TSkinReader();

    // True when the archive was accepted. A wrong version shows kOlderSkinMessage through
    // ShowMessage; a source under 4 bytes, a refused size or early end of the coded data, a
    // name list longer than the archive, more than 1001 entries or a negative size fail
    // without a message, and nothing is indexed.
    bool LoadSkinStream(forms::TMemoryStream& source);
    // Indexes an unpacked archive under the same rules (LoadSkinStream is Unpack, then this).
    bool IndexArchive(const std::uint8_t* bytes, std::int64_t size);
    // Decodes source (U, then the coded bits) into target; ElzhException on a refused size.
    static void Unpack(forms::TMemoryStream& source, forms::TMemoryStream& target);
    // The entry named name (any case); no match leaves target empty.
    void GetEntry(std::string_view name, forms::TMemoryStream& target);
    // The first entry whose name contains part (compared as given, so pass lower case).
    void FindEntry(std::string_view part, forms::TMemoryStream& target, std::string& name);

    // The message box of the wrong version; the skin data component routes it to the form
    // library's replaceable message-box call.
    std::function<void(const std::string& text)> ShowMessage;

    std::vector<std::string> names;
    std::int32_t count = 0;
    std::array<std::int32_t, kMaxSkinEntries> sizes{};
    forms::TMemoryStream data;
    std::array<std::int32_t, 4> header{};

private:
    // Walks the entries to the first that matches, copying its bytes (short past the data).
    void CopyFirst(const std::function<bool(const std::string&)>& matches, forms::TMemoryStream& target,
                   std::string* name);
};

// The lines of text: CR LF, a lone CR or a lone LF ends a line; an end after the last line
// adds no line.
std::vector<std::string> SplitSkinLines(std::string_view text);

}  // namespace skin
