// The processor's vendor and standard feature flags, read once at start-up through CPUID
// for the image routines that choose between an MMX and a plain version.
#pragma once
#include <cstdint>
#include <string>

namespace forms {

enum class CpuVendor { Intel, AMD, Cyrix, Via, Transmeta, Generic };

struct ProcessorFeatures {
    bool hasCpuid = false;
    std::string vendorId;        // the 12 characters of CPUID leaf 0; "Unknown" without CPUID
    CpuVendor vendor = CpuVendor::Generic;
    int family = 4;              // without CPUID: a 486
    std::uint32_t features = 0;  // leaf 1, EDX
};

inline constexpr std::uint32_t kCpuFeatureMMX = 0x800000;  // bit 23 of the standard flags

// The vendor a leaf-0 identification names; any other is decoded generically.
CpuVendor VendorOf(const std::string& vendorId);

// Reads the processor through CPUID; a 32-bit build first checks that the EFLAGS
// identification bit can be toggled (on x86-64 CPUID always exists).
ProcessorFeatures ReadProcessorFeatures();

}  // namespace forms
