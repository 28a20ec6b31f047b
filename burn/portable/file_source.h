// How the cache reads source files: Win32 in the program, in memory in the native tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace burn {

class SourceFile {
public:
    virtual ~SourceFile() = default;
    // Bytes read (0 at the end of the file), or -1 on a read error.
    virtual std::int64_t Read(std::uint8_t* dest, std::size_t count) = 0;
    virtual std::uint64_t Size() = 0;
};

class FileSource {
public:
    virtual ~FileSource() = default;
    // Opens read-only, sharing reading and writing with others; nullptr when it cannot.
    virtual std::unique_ptr<SourceFile> Open(const std::u16string& path) = 0;
};

}  // namespace burn
