#include "forms/portable/ini_rules.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace forms {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Whole text as an integer, or false.
bool ParseInteger(std::string_view text, int& out) {
    size_t p = 0;
    while (p < text.size() && (text[p] == ' ' || text[p] == '\t')) ++p;
    bool negative = false;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
    bool hex = false;
    if (p < text.size() && text[p] == '$') {
        hex = true;
        ++p;
    } else if (p + 1 < text.size() && text[p] == '0' && (text[p + 1] == 'x' || text[p + 1] == 'X')) {
        hex = true;
        p += 2;
    }
    if (p == text.size()) return false;
    std::uint64_t magnitude = 0;
    const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    for (; p < text.size(); ++p) {
        const int digit = hex ? HexDigit(text[p]) : (text[p] >= '0' && text[p] <= '9' ? text[p] - '0' : -1);
        if (digit < 0) return false;
        magnitude = magnitude * (hex ? 16 : 10) + static_cast<std::uint64_t>(digit);
        if (magnitude > limit) return false;
    }
    // Hexadecimal spells the 32 bits of the value, so 0xFFFFFFFF is -1.
    const auto bits = static_cast<std::uint32_t>(negative ? (~magnitude + 1) : magnitude);
    out = static_cast<int>(static_cast<std::int32_t>(bits));
    return true;
}

constexpr std::size_t kLargestList = 256u * 1024 * 1024;

}  // namespace

int IniReadInteger(std::string_view text, int defaultValue) {
    int value = 0;
    return ParseInteger(text, value) ? value : defaultValue;
}

bool IniReadBool(std::string_view text, bool defaultValue) {
    return IniReadInteger(text, defaultValue ? 1 : 0) != 0;
}

double IniReadFloat(std::string_view text, double defaultValue) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return defaultValue;
    return value;
}

std::string IniFormatInteger(int value) { return std::to_string(value); }

std::string IniFormatBool(bool value) { return value ? "1" : "0"; }

std::string IniFormatFloat(double value) {
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string("0");
}

std::string IniCapValue(std::string_view value) { return std::string(value.substr(0, kIniMaxValueLength)); }

std::vector<std::string> IniSplitList(std::string_view list) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find('\0', start);
        if (end == std::string_view::npos) end = list.size();
        if (end > start) names.emplace_back(list.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::string IniReadWholeList(const std::function<std::size_t(char*, std::size_t)>& fetch, std::size_t initialSize) {
    std::size_t size = initialSize < 4 ? 4 : initialSize;
    for (;;) {
        std::string buffer(size, '\0');
        std::size_t copied = fetch(buffer.data(), size);
        // The profile calls never answer more than a few megabytes; the cap stops a broken fetch.
        if (copied + 2 < size || size >= kLargestList) {
            if (copied > size) copied = size;
            buffer.resize(copied);
            return buffer;
        }
        size *= 2;
    }
}

}  // namespace forms
