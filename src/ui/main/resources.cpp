#include "ui/main/resources.h"

#include <QtGlobal>

static void InitZepa2Resources() { Q_INIT_RESOURCE(zepa2); }

namespace zepa2::ui {

void EnsureResources() {
  static const bool done = (InitZepa2Resources(), true);
  (void)done;
}

}  // namespace zepa2::ui
