// The activity log list: time-stamped lines, each in its own colour on white, oldest first.
#pragma once

#include <QListWidget>

#include "core/log/log_color.h"

namespace zepa2::ui {

class ActivityLog : public QListWidget {
  Q_OBJECT

 public:
  explicit ActivityLog(QWidget* parent = nullptr);

  // Adds one finished line at the end, drops the oldest lines at the limit, brings the last line
  // into view and paints it before returning, so it shows even if the caller then blocks.
  void AddLine(const QString& line, LogColor color);

  // The colour a line is drawn in (black for a line that never had one).
  static LogColor LineColor(const QListWidgetItem* item);
};

}  // namespace zepa2::ui
