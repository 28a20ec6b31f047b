#include "forms/handle_counts.h"

#include <atomic>

namespace forms {
namespace {
std::atomic<int> windows{0};
std::atomic<int> gdiObjects{0};
}  // namespace

int LiveWindowCount() { return windows.load(); }
int LiveGdiObjectCount() { return gdiObjects.load(); }

namespace handle_counts {
void AddWindows(int delta) { windows += delta; }
void AddGdiObjects(int delta) { gdiObjects += delta; }
}  // namespace handle_counts

}  // namespace forms
