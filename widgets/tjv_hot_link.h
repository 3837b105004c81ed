// The link label TJvHotLink.
#pragma once

#include <functional>

#include <QString>
#include <QUrl>

#include "widgets/tjv_label.h"

// A hover label that opens its Url when clicked. It shows the hand pointer
// and hot-tracks in a blue, underlined copy of its font.
class TJvHotLink : public TJvLabel {
  Q_OBJECT

 public:
  using UrlOpener = std::function<void(const QUrl&)>;

  explicit TJvHotLink(QWidget* parent = nullptr);
  explicit TJvHotLink(const QString& text, QWidget* parent = nullptr);

  const QString& Url() const;
  void SetUrl(const QString& url);

  // Replaces how this link opens its address (tests hand in a recorder); an
  // empty opener restores the desktop's default handler.
  void SetUrlOpener(UrlOpener opener) { opener_ = std::move(opener); }

 protected:
  void Click() override;

 private:
  QString url_;
  UrlOpener opener_;
};
