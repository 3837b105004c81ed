// The status bar TJvStatusBar2, carrying controls.
#pragma once

#include <QColor>
#include <QList>
#include <QPointer>
#include <QWidget>

#include "widgets/thint_color_exchange.h"

// A status bar drawn as panels that carries other controls at fixed positions.
// The panels have the widths given, the last one reaching the right edge.
// Controls placed through PlaceControl keep their distances to the edges they
// are anchored to whenever the bar changes size; other children stay where
// they are put.
class TJvStatusBar2 : public QWidget {
  Q_OBJECT

 public:
  explicit TJvStatusBar2(QWidget* parent = nullptr);

  const QColor& HintColor() const;
  void SetHintColor(const QColor& color);

  // Widths of every panel but the last, which takes the rest (default {110}).
  const QList<int>& PanelWidths() const;
  void SetPanelWidths(const QList<int>& widths);
  int PanelCount() const;
  QRect PanelRect(int index) const;

  // Makes `control` a child of the bar at `geometry` (bar coordinates).
  // Anchored to both left and right it stretches; to the right only it moves
  // with the right edge; likewise top and bottom.
  void PlaceControl(QWidget* control, const QRect& geometry,
                    Qt::Edges anchors = Qt::LeftEdge | Qt::TopEdge);

  QSize sizeHint() const override;

 signals:
  void mouseEntered();
  void mouseLeft();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Placed {
    QPointer<QWidget> control;
    Qt::Edges anchors;
    QMargins distances;  // to the bar's left, top, right and bottom edges
  };

  void Realign();
  void Remember(Placed& placed) const;

  QColor hintColor_;
  QList<int> panelWidths_{110};
  QList<Placed> placed_;
  bool realigning_ = false;
  THintColorExchange hint_;
};
