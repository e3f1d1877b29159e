#include "ui/common/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zepa2::ui {

bool LoadQtJapanese(QCoreApplication& app) {
  // The program speaks Japanese whatever the session's locale: dates in the file picker and the
  // type names it reads from the MIME database follow the default locale, not the translator.
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  auto* translator = new QTranslator(&app);
  if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace zepa2::ui
