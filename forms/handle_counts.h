// Live window and GDI objects of the process, as the library's owners see them. Windows gives
// a process at most 10,000 of each and Wine enforces neither quota, so tests count here.
#pragma once

namespace forms {

// Windows attached to our controls, held by UniqueWindow, and MDI clients.
int LiveWindowCount();
// GDI objects and memory DCs held by the forms::Unique* owners (image lists too).
int LiveGdiObjectCount();

namespace handle_counts {
void AddWindows(int delta);
void AddGdiObjects(int delta);
}  // namespace handle_counts

}  // namespace forms
