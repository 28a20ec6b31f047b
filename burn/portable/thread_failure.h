// A failure inside one of the burn's threads (the cache, the writer, the eject after a burn) or
// in starting one: the exception never leaves the thread, it becomes the burn's upper-case text.
#pragma once

#include <string>
#include <string_view>

namespace burn {

inline constexpr char kCacheThreadFailed[] = "CACHE THREAD FAILED";
inline constexpr char kWriteThreadFailed[] = "WRITE THREAD FAILED";
inline constexpr char kEjectThreadFailed[] = "EJECT THREAD FAILED";
inline constexpr char kCacheThreadNotStarted[] = "CAN'T START THE CACHE THREAD";
inline constexpr char kWriteThreadNotStarted[] = "CAN'T START THE WRITE THREAD";

// what + " [" + the exception being handled, in upper case + "]". Only inside a catch block.
std::string FailureText(std::string_view what) noexcept;

}  // namespace burn
