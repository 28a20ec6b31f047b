#include "forms/portable/cpu_features.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace forms {

namespace {

struct VendorName {
    const char* id;
    CpuVendor vendor;
};

constexpr VendorName kVendors[] = {
    {"GenuineIntel", CpuVendor::Intel}, {"AuthenticAMD", CpuVendor::AMD},     {"CyrixInstead", CpuVendor::Cyrix},
    {"CentaurHauls", CpuVendor::Via},   {"GenuineTMx86", CpuVendor::Transmeta},
};

constexpr std::uint32_t kEflagsId = 0x200000;

bool CpuidExists() {
#if defined(__x86_64__)
    return true;
#elif defined(__i386__)
    // The identification bit stays toggled only on a processor that has CPUID.
    std::uint32_t before, after;
    __asm__ volatile(
        "pushfl\n\t"
        "popl %0\n\t"
        "movl %0, %1\n\t"
        "xorl %2, %1\n\t"
        "pushl %1\n\t"
        "popfl\n\t"
        "pushfl\n\t"
        "popl %1\n\t"
        "pushl %0\n\t"
        "popfl\n\t"
        : "=&r"(before), "=&r"(after)
        : "i"(kEflagsId));
    return ((before ^ after) & kEflagsId) != 0;
#else
    return false;
#endif
}

}  // namespace

CpuVendor VendorOf(const std::string& vendorId) {
    for (const VendorName& v : kVendors)
        if (vendorId == v.id) return v.vendor;
    return CpuVendor::Generic;
}

ProcessorFeatures ReadProcessorFeatures() {
    ProcessorFeatures out;
    out.vendorId = "Unknown";
    if (!CpuidExists()) return out;
#if defined(__x86_64__) || defined(__i386__)
    out.hasCpuid = true;
    unsigned int maxLeaf = 0, ebx = 0, ecx = 0, edx = 0;
    __cpuid(0, maxLeaf, ebx, ecx, edx);
    char id[12];
    std::memcpy(id, &ebx, 4);
    std::memcpy(id + 4, &edx, 4);
    std::memcpy(id + 8, &ecx, 4);
    out.vendorId.assign(id, sizeof id);
    out.vendor = VendorOf(out.vendorId);
    if (maxLeaf >= 1) {
        unsigned int eax = 0;
        __cpuid(1, eax, ebx, ecx, edx);
        out.family = static_cast<int>((eax >> 8) & 0xF);
        out.features = edx;
    }
#endif
    return out;
}

}  // namespace forms
