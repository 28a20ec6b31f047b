#include "forms/portable/streams.h"

#include "forms/portable/exceptions.h"

#include <algorithm>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace forms {

namespace {

int SeekFile(std::FILE* file, std::int64_t offset, int whence) {
#ifdef _WIN32
    return _fseeki64(file, offset, whence);
#else
    return fseeko(file, static_cast<off_t>(offset), whence);
#endif
}

std::int64_t TellFile(std::FILE* file) {
#ifdef _WIN32
    return _ftelli64(file);
#else
    return static_cast<std::int64_t>(ftello(file));
#endif
}

bool TruncateFile(std::FILE* file, std::int64_t size) {
#ifdef _WIN32
    return _chsize_s(_fileno(file), size) == 0;
#else
    return ftruncate(fileno(file), static_cast<off_t>(size)) == 0;
#endif
}

constexpr size_t kCopyChunk = 64 * 1024;

}  // namespace

std::int64_t TStream::Size() {
    const std::int64_t position = Seek(0, soCurrent);
    const std::int64_t size = Seek(0, soEnd);
    Seek(position, soBeginning);
    return size;
}

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
    if (count != 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
    if (count != 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<std::uint8_t> chunk(static_cast<size_t>(std::min<std::int64_t>(count, kCopyChunk)));
    std::int64_t left = count;
    while (left > 0) {
        const std::int64_t n = std::min<std::int64_t>(left, static_cast<std::int64_t>(chunk.size()));
        source.ReadBuffer(chunk.data(), n);
        WriteBuffer(chunk.data(), n);
        left -= n;
    }
    return count;
}

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
    const std::int64_t size = Size();
    if (count <= 0 || position_ >= size) return 0;
    const std::int64_t n = std::min(count, size - position_);
    std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
    if (count <= 0) return 0;
    const std::int64_t end = position_ + count;
    // A write past the end fills the gap with zeros.
    if (end > Size()) data_.resize(static_cast<size_t>(end));
    std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
    position_ = end;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    std::int64_t base = 0;
    if (origin == soCurrent) base = position_;
    if (origin == soEnd) base = Size();
    position_ = std::max<std::int64_t>(0, base + offset);
    return position_;
}

void TMemoryStream::SetSize(std::int64_t size) {
    data_.resize(static_cast<size_t>(std::max<std::int64_t>(0, size)));
    position_ = std::min(position_, Size());
}

void TMemoryStream::SetCapacity(std::int64_t capacity) {
    if (capacity > 0) data_.reserve(static_cast<size_t>(capacity));
}

void TMemoryStream::Clear() {
    data_.clear();
    position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
    stream.SetPosition(0);
    const std::int64_t size = stream.Size();
    SetSize(size);
    if (size > 0) stream.ReadBuffer(data_.data(), size);
    position_ = 0;
}

void TMemoryStream::SaveToStream(TStream& stream) {
    if (!data_.empty()) stream.WriteBuffer(data_.data(), Size());
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::SaveToFile(const std::string& fileName) {
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

TFileStream::TFileStream(const std::string& fileName, unsigned mode) : fileName_(fileName) {
    if ((mode & fmCreate) == fmCreate) {
        file_ = std::fopen(fileName.c_str(), "w+b");
        if (!file_) throw EFCreateError(Format("Cannot create file \"%s\"", fileName.c_str()));
        canRead_ = canWrite_ = true;
        return;
    }
    const char* how = "rb";
    switch (mode & 0x3) {
        case fmOpenWrite: how = "r+b"; canWrite_ = true; break;
        case fmOpenReadWrite: how = "r+b"; canRead_ = canWrite_ = true; break;
        default: canRead_ = true; break;
    }
    file_ = std::fopen(fileName.c_str(), how);
    if (!file_) throw EFOpenError(Format("Cannot open file \"%s\"", fileName.c_str()));
}

TFileStream::~TFileStream() {
    if (file_) std::fclose(file_);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
    if (!canRead_ || count <= 0) return 0;
    if (lastOp_ == LastOp::Write) SeekFile(file_, 0, SEEK_CUR);
    lastOp_ = LastOp::Read;
    return static_cast<std::int64_t>(std::fread(buffer, 1, static_cast<size_t>(count), file_));
}

std::int64_t TFileStream::Write(const void* buffer, std::int64_t count) {
    if (!canWrite_ || count <= 0) return 0;
    if (lastOp_ == LastOp::Read) SeekFile(file_, 0, SEEK_CUR);
    lastOp_ = LastOp::Write;
    return static_cast<std::int64_t>(std::fwrite(buffer, 1, static_cast<size_t>(count), file_));
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    lastOp_ = LastOp::None;
    if (SeekFile(file_, offset, whence) != 0) return -1;
    return TellFile(file_);
}

void TFileStream::SetSize(std::int64_t size) {
    const std::int64_t position = Position();
    std::fflush(file_);
    if (!canWrite_ || !TruncateFile(file_, size)) throw EWriteError(Format("Cannot set the size of \"%s\"", fileName_.c_str()));
    SetPosition(std::min(position, size));
}

}  // namespace forms
