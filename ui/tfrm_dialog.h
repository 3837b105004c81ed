// The confirmation dialog TfrmDialog.
#pragma once

#include <array>

#include <QDialog>
#include <QPixmap>

class QEventLoop;
class QLabel;
class TJvBitBtn;
class TJvFormWallpaper;

// The program's OK/Cancel question window: an icon, a bold title and an
// information text over a tiled background. It remembers which button was
// pressed; closing it any other way (close box, system menu, Alt+F4) answers
// Cancel. While it is up the rest of the program takes no input.
class TfrmDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmDialog(QWidget* parent = nullptr);
  ~TfrmDialog() override;

  quint8 IconKind() const;
  bool Cancelled() const;
  // The image of imgLst shown in img: 0 question, 1 information, 2 warning,
  // 3 error.
  int ImageIndex() const;
  // Kinds 0..3 show question, information, error, warning; a larger kind is
  // stored but leaves the picture as it is.
  void SetIconKind(quint8 kind);

  // Shows the dialog, brings it to the front and waits, serving events, until
  // it hides. True when the answer is OK.
  bool WaitForAnswer();

  void FormCreate();
  void JvBitBtn1Click();
  void JvBitBtn2Click();

  TJvFormWallpaper* JvFormWallpaper1() const;
  QLabel* img() const;
  QLabel* labTitolo() const;
  QLabel* labInfo() const;
  TJvBitBtn* JvBitBtn1() const;
  TJvBitBtn* JvBitBtn2() const;
  QPixmap imgLst(int index) const;

  void setVisible(bool visible) override;

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void reject() override;

 private:
  void SizeLabelsToText();
  void CentreOnMainWindow();

  TJvFormWallpaper* JvFormWallpaper1_;
  QLabel* img_;
  QLabel* labTitolo_;
  QLabel* labInfo_;
  TJvBitBtn* JvBitBtn1_;
  TJvBitBtn* JvBitBtn2_;
  std::array<QPixmap, 4> imgLst_;

  quint8 iconKind_ = 0;
  int imageIndex_ = -1;
  bool cancelled_ = false;
  QEventLoop* waitLoop_ = nullptr;
};
