#include "ui/error_box.h"

#include <QApplication>
#include <QMessageBox>

QString ErrorBox::WithFullStop(const QString& message) {
  if (!message.isEmpty() && message.back() > QLatin1Char('.')) return message + QLatin1Char('.');
  return message;
}

void ErrorBox::Show(const std::exception& error, QWidget* parent) {
  QMessageBox box(QMessageBox::Critical, QApplication::applicationName(),
                  WithFullStop(QString::fromLocal8Bit(error.what())), QMessageBox::Ok, parent);
  box.exec();
}
