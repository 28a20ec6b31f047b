// Compiled into every program and test that links the skin engine (not archived, so that it is
// never left out): tells the skin data how the coordinator is made.
#include "skin/manage/skin_coordinator_impl.h"

namespace {

const bool registered = [] {
    skin::SetSkinCoordinatorFactory([]() -> std::unique_ptr<skin::SkinCoordinator> {
        return std::make_unique<skin::TSkinCoordinator>();
    });
    return true;
}();

}  // namespace
