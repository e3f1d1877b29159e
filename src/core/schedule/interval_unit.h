// The unit of the check period as the unit button shows and cycles it.
#pragma once

namespace zepa2 {

// The unit after this one: minutes → hours → days → minutes.
constexpr int NextUnit(int unit) { return unit + 1 > 2 ? 0 : unit + 1; }

// The button caption of a unit (UTF-8), or nullptr for a stored value outside 0..2, which keeps
// whatever caption the button has.
const char* UnitCaption(int unit);

}  // namespace zepa2
