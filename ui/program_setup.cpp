#include "ui/program_setup.h"

#include <QApplication>
#include <QFont>
#include <QLocale>
#include <QStringList>

#include "engine/short_date.h"

void SetUpProgram() {
  // No display name: the X11 platform would append it to every window title
  // lacking it, and a box's caption is exactly its kind ("Information").
  QApplication::setApplicationName(QStringLiteral("Viveze Vevoziv"));

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
