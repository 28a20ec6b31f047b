// The two programs use the library with small differences (vantburn resolves hint colours
// from the application and computes its progress with truncating 32-bit arithmetic).
#pragma once

namespace controls {

enum class TLibraryFlavour { Editor, Burner };

// Read by controls when they are made; set once at program start, before any control exists.
TLibraryFlavour LibraryFlavour();
void SetLibraryFlavour(TLibraryFlavour flavour);

}  // namespace controls
