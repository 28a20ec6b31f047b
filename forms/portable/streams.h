// Byte streams: the abstract TStream, a growable memory stream and a file stream.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace forms {

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;
    virtual ~TStream() = default;

    // Read and Write move up to count bytes and answer how many they moved.
    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
    // Answers the new position.
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
    virtual std::int64_t Size();
    virtual void SetSize(std::int64_t size) = 0;

    std::int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(std::int64_t position) { Seek(position, soBeginning); }

    // All or nothing: EReadError "Stream read error" / EWriteError "Stream write error".
    void ReadBuffer(void* buffer, std::int64_t count);
    void WriteBuffer(const void* buffer, std::int64_t count);
    // Copies count bytes from source's position; count 0 copies the whole source from its start.
    std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

class TMemoryStream : public TStream {
public:
    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }
    void SetSize(std::int64_t size) override;

    // Reserves room so that growing up to capacity bytes does not reallocate.
    void SetCapacity(std::int64_t capacity);
    std::int64_t Capacity() const { return static_cast<std::int64_t>(data_.capacity()); }
    void Clear();

    std::uint8_t* Memory() { return data_.data(); }
    const std::uint8_t* Memory() const { return data_.data(); }

    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream);
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

private:
    std::vector<std::uint8_t> data_;
    std::int64_t position_ = 0;
};

// Open modes; share flags are accepted and have no effect.
constexpr unsigned fmOpenRead = 0x0000;
constexpr unsigned fmOpenWrite = 0x0001;
constexpr unsigned fmOpenReadWrite = 0x0002;
constexpr unsigned fmShareCompat = 0x0000;
constexpr unsigned fmShareExclusive = 0x0010;
constexpr unsigned fmShareDenyWrite = 0x0020;
constexpr unsigned fmShareDenyRead = 0x0030;
constexpr unsigned fmShareDenyNone = 0x0040;
// Creates or truncates the file, open for reading and writing.
constexpr unsigned fmCreate = 0xFF00;

class TFileStream : public TStream {
public:
    // EFCreateError "Cannot create file "name"" / EFOpenError "Cannot open file "name"".
    TFileStream(const std::string& fileName, unsigned mode);
    ~TFileStream() override;

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    void SetSize(std::int64_t size) override;

    const std::string& FileName() const { return fileName_; }

private:
    std::string fileName_;
    std::FILE* file_ = nullptr;
    bool canRead_ = false;
    bool canWrite_ = false;
    // The C library needs a seek between a write and a read on the same FILE.
    enum class LastOp { None, Read, Write } lastOp_ = LastOp::None;
};

}  // namespace forms
