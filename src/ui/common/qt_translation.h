// Qt's own texts (standard buttons, edit menus, the file picker) in Japanese, whatever the locale.
#pragma once

class QCoreApplication;

namespace zepa2::ui {

// Installs Qt's Japanese translation from Qt's translations folder on app. False when the file
// is missing or unreadable: Qt then speaks English, and the rest of the program is unchanged.
// Makes Japanese the default locale either way (dates, MIME type names).
bool LoadQtJapanese(QCoreApplication& app);

}  // namespace zepa2::ui
