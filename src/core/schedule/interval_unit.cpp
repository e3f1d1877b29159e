#include "core/schedule/interval_unit.h"

#include "core/text/messages.h"

namespace zepa2 {

const char* UnitCaption(int unit) {
  switch (unit) {
    case 0:
      return msg::kUnitMinutes;
    case 1:
      return msg::kUnitHours;
    case 2:
      return msg::kUnitDays;
    default:
      return nullptr;
  }
}

}  // namespace zepa2
