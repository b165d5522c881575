#include "tests/win/WinTestUtil.h"

namespace vcl::wm {
void AdvanceLocalClock(std::uint32_t ms);
}

namespace vcl::wintest {

void AdvanceClock(unsigned ms) { wm::AdvanceLocalClock(ms); }

}  // namespace vcl::wintest
