// The yardstick of the window's footprint: a bare Qt dialog with a list, nothing else.
#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QVBoxLayout>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QDialog dialog;
  dialog.setWindowTitle(QStringLiteral("-BARE-"));
  auto* list = new QListWidget(&dialog);
  for (int i = 0; i < 20; ++i) list->addItem(QStringLiteral("line %1").arg(i));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(list);
  dialog.show();
  return app.exec();
}
