// Column titles drawn as buttons.
#pragma once

#include <QHeaderView>

// Column titles drawn as buttons: raised, sunken while a left press on the
// title is tracked (the text then shifts one pixel right and down). A left
// click on a title only draws it pressed; dragging a title border resizes the
// column; a right-button drag moves the column.
class TTitleButtonHeader : public QHeaderView {
  Q_OBJECT

 public:
  explicit TTitleButtonHeader(QWidget* parent = nullptr);

  // The tracked title, -1 when none; and whether it is drawn pressed now.
  int TrackedSection() const { return tracking_ ? trackedSection_ : -1; }
  bool TitleDrawnPressed() const { return tracking_ && drawnPressed_; }
  // Stops tracking and draws the title released (e.g. when the grid scrolls).
  void CancelTracking();
  // The title of the column the rows are sorted by gets an arrow, up or
  // (`descending`) down; -1 for none.
  void SetSortMark(int logicalIndex, bool descending);
  int SortMarkSection() const { return sortSection_; }
  bool SortMarkDescending() const { return sortDescending_; }

  QSize sizeHint() const override;

 signals:
  // A tracked left click released over the title it began on.
  void TitleClicked(int logicalIndex);

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  bool InResizeZone(const QPoint& pos) const;
  bool OverTrackedTitle(const QPoint& pos) const;
  void SetDrawnPressed(bool pressed);

  bool tracking_ = false;
  int trackedSection_ = -1;
  bool drawnPressed_ = false;
  bool swappedButtons_ = false;  // a right press being handled as a left one
  int sortSection_ = -1;
  bool sortDescending_ = false;
};
