#include "controls/portable/flavour.h"

namespace controls {
namespace {
TLibraryFlavour g_flavour = TLibraryFlavour::Editor;
}

TLibraryFlavour LibraryFlavour() { return g_flavour; }
void SetLibraryFlavour(TLibraryFlavour flavour) { g_flavour = flavour; }

}  // namespace controls
