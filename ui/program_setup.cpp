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
  // Lets the desktop match the window with its installed entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("it.viveze.VivezeVevoziv"));

  // The locale's short format, made numeric with a four-digit year, so a date
  // written to the archive reads back the same.
  const QString localePattern = QLocale::system().dateFormat(QLocale::ShortFormat);
  SetShortDateFormat(NormaliseShortDatePattern(localePattern.toStdString()));

  // The layouts name Windows fonts; elsewhere the closest installed ones stand
  // in. Tahoma gets a face of its own: the status bar's link changes from it
  // to MS Sans Serif under the mouse, and must be seen to.
  const QStringList sans = {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"),
                            QStringLiteral("Arial")};
  const QStringList tahoma = {QStringLiteral("DejaVu Sans"), QStringLiteral("Verdana"),
                              QStringLiteral("Liberation Sans")};
  QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), sans);
  QFont::insertSubstitutions(QStringLiteral("Microsoft Sans Serif"), sans);
  QFont::insertSubstitutions(QStringLiteral("Tahoma"), tahoma);
}
