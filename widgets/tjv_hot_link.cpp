#include "widgets/tjv_hot_link.h"

#include <QDesktopServices>

TJvHotLink::TJvHotLink(QWidget* parent) : TJvHotLink(QString(), parent) {}

TJvHotLink::TJvHotLink(const QString& text, QWidget* parent) : TJvLabel(text, parent) {
  setCursor(Qt::PointingHandCursor);
  SetHotTrack(true);
  QFont hot = font();
  hot.setUnderline(true);
  SetHotTrackFont(hot);
  SetHotTrackColor(Qt::blue);
}

const QString& TJvHotLink::Url() const { return url_; }
void TJvHotLink::SetUrl(const QString& url) { url_ = url; }

void TJvHotLink::Click() {
  TJvLabel::Click();
  // The address goes out whole, however long; whether it opens is not reported.
  const QUrl url(url_);
  if (opener_) {
    opener_(url);
  } else {
    QDesktopServices::openUrl(url);
  }
}
