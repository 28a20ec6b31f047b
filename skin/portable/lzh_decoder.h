// TLZH: the LZHUF decoder of skin streams (LZSS over a 4 KB ring with adaptive Huffman codes).
#pragma once
#include <cstdint>
#include <functional>

#include "forms/portable/exceptions.h"

namespace skin {

class ElzhException : public forms::Exception {
public:
    using forms::Exception::Exception;
};

// The largest archive a skin stream may ask for; a real skin is well under a megabyte.
constexpr std::int64_t kMaxUnpackedSize = 16 * 1024 * 1024;

// Refuses (ElzhException) an unpacked size that is negative, above kMaxUnpackedSize, or more
// than codedLength coded bytes can produce: a symbol takes at least a bit and a match at most
// 60 bytes for at least 9 bits, so 64 bytes per coded byte is a safe ceiling.
void CheckUnpackedSize(std::int64_t size, std::int64_t codedLength);

class TLZH {
public:
    // Asked for count bytes (always 1) at buffer; answers how many it delivered.
    using ReadCallback = std::function<int(std::uint8_t* buffer, int count)>;
    using WriteCallback = std::function<void(const std::uint8_t* buffer, int count)>;

    // Writes exactly size bytes, the last match cut at size. ElzhException when the coded data
    // ends more than 2 bytes early: a whole stream never needs more than 1 byte past its end.
    void Decode(std::int32_t size, const WriteCallback& write, const ReadCallback& read);
};

}  // namespace skin
