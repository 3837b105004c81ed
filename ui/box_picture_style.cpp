#include "ui/box_picture_style.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include "ui/artwork.h"
#include "ui/artwork_sizes.h"

BoxPictureStyle* BoxPictureStyle::Instance() {
  // Made again should the application go and come back, as in tests.
  static QPointer<BoxPictureStyle> style;
  if (style == nullptr) {
    style = new BoxPictureStyle;
    style->setParent(qApp);
  }
  return style;
}

QIcon BoxPictureStyle::standardIcon(StandardPixmap picture, const QStyleOption* option,
                                    const QWidget* widget) const {
  const char* name = nullptr;
  switch (picture) {
    case SP_MessageBoxInformation:
      name = "dlg_information";
      break;
    case SP_MessageBoxWarning:
      name = "dlg_warning";
      break;
    case SP_MessageBoxCritical:
      name = "dlg_error";
      break;
    case SP_MessageBoxQuestion:
      name = "dlg_question";
      break;
    case SP_DialogOkButton:
    case SP_DialogCancelButton:
    case SP_DialogYesButton:
    case SP_DialogNoButton:
      return {};
    default:
      return QProxyStyle::standardIcon(picture, option, widget);
  }
  const qreal ratio = widget != nullptr ? widget->devicePixelRatioF() : qApp->devicePixelRatio();
  QIcon icon(Artwork::Picture(QString::fromLatin1(name), artwork_size::kDialogIcon, ratio));
  return icon;
}
