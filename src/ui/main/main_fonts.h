// The main window's fonts: the dialog's own, and the two heavy gothic faces of the title and address.
#pragma once

#include <QFont>

namespace zepa2::ui {

QFont DialogFont();   // every caption and the log lines
QFont TitleFont();    // the product name at the top left
QFont AddressFont();  // the current address and "Get Zepa!"

}  // namespace zepa2::ui
