// What the tests read of the menu-bar tracking, one drop-down at a time per thread.
#pragma once

namespace skin {

// Times a drop-down was opened while another was still being tracked (0 when tracking never
// nests), since the process started.
int MenuTrackingNestings();
// The bar item whose drop-down is open, -1 when none.
int TrackedBarIndex();

}  // namespace skin
