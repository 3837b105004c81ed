#include "ui/program_setup.h"

#include <QApplication>
#include <QFont>
#include <QLocale>
#include <QStringList>

#include "engine/short_date.h"

void SetUpProgram() {
  QApplication::setApplicationName(QStringLiteral("Viveze Vevoziv"));
  QApplication::setApplicationDisplayName(QStringLiteral("Viveze Vevoziv"));
  // Lets the desktop match the window with its installed entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("it.viveze.VivezeVevoziv"));

  // The locale's short format, made numeric with a four-digit year, so a date
  // written to the archive reads back the same.
  const QString localePattern = QLocale::system().dateFormat(QLocale::ShortFormat);
  SetShortDateFormat(NormaliseShortDatePattern(localePattern.toStdString()));

  // The layouts name Windows fonts; elsewhere the closest installed ones stand in.
  const QStringList sans = {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"),
                            QStringLiteral("Arial")};
  for (const char* family : {"MS Sans Serif", "Microsoft Sans Serif", "Tahoma"}) {
    QFont::insertSubstitutions(QString::fromLatin1(family), sans);
  }
}
