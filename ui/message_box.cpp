#include "ui/message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "ui/box_picture_style.h"
#include "ui/tfrm_dialog.h"
#include "widgets/byte_text.h"

namespace {

MessageBoxScript* script = nullptr;

// The frame a box will have: its own once the window manager has framed it,
// before that the frame of the program's other windows.
QMargins FrameOf(const QWidget& box) {
  const QRect inner = box.geometry();
  const QRect outer = box.frameGeometry();
  if (inner != outer) {
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
  }
  for (const QWindow* window : QGuiApplication::topLevelWindows()) {
    if (window->isVisible() && window->type() != Qt::Popup && !window->frameMargins().isNull()) {
      return window->frameMargins();
    }
  }
  return {};
}

// A standard box, centred on the screen whatever its parent: Qt would centre
// it on the parent, or put it at the top left of a parent not shown yet.
//
// Its pictures are the program's own: the desktop's would be looked up in
// the icon theme's folders for every box, which took most of the time from
// Calcola to its "Information" box.
class ScreenCentredBox : public QMessageBox {
 public:
  ScreenCentredBox(Icon icon, const QString& title, const QString& text, StandardButtons buttons,
                   QWidget* parent)
      : QMessageBox(parent) {
    setStyle(BoxPictureStyle::Instance());
    if (auto* strip = findChild<QDialogButtonBox*>()) strip->setStyle(BoxPictureStyle::Instance());
    setIcon(icon);
    setWindowTitle(title);
    setText(text);
    setStandardButtons(buttons);
  }

 protected:
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);  // gives the box its final size
    const QWidget* owner = parentWidget();
    const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    // The frame is centred, title bar and all; the box inside it.
    const QMargins frame = FrameOf(*this);
    const QSize framed = size().grownBy(frame);
    const QPoint corner = screen->availableGeometry().center() -
                          QPoint(framed.width() / 2, framed.height() / 2) +
                          QPoint(frame.left(), frame.top());
    setGeometry(QRect(corner, size()));
  }
};

MessageBoxScript::Icon IconOf(const QMessageBox& box) {
  switch (box.icon()) {
    case QMessageBox::Information:
      return MessageBoxScript::Icon::Information;
    case QMessageBox::Warning:
      return MessageBoxScript::Icon::Warning;
    case QMessageBox::Question:
      return MessageBoxScript::Icon::Question;
    case QMessageBox::Critical:
      return MessageBoxScript::Icon::Error;
    default:
      return MessageBoxScript::Icon::None;
  }
}

// Clicks the first button of `box` with `role`.
void ClickRole(QWidget* shown, QMessageBox::ButtonRole role) {
  auto* box = qobject_cast<QMessageBox*>(shown);
  if (box == nullptr) return;
  for (QAbstractButton* button : box->buttons()) {
    if (box->buttonRole(button) == role) {
      button->click();
      return;
    }
  }
}

QMessageBox::StandardButton Chosen(QMessageBox& box, QAbstractButton* clicked) {
  return clicked != nullptr ? box.standardButton(clicked) : QMessageBox::NoButton;
}

// The button the user chose, after the box has been shown modally (or
// answered by the script of a test).
QAbstractButton* Run(QMessageBox& box) {
  if (MessageBoxScript* current = MessageBoxScript::Current()) {
    // Shown, but not waited for: placed as a user would see it.
    box.setAttribute(Qt::WA_ShowWithoutActivating);
    box.show();
    current->Record({box.windowTitle(), box.text(), IconOf(box), QString::fromLatin1("QMessageBox"),
                     box.geometry()});
    const MessageBoxScript::Answer answer = current->Next();
    if (answer) {
      answer(&box);
    } else {
      QAbstractButton* button = box.defaultButton();
      if (button == nullptr && !box.buttons().isEmpty()) button = box.buttons().first();
      if (button != nullptr) button->click();
    }
    box.hide();
    // A box closed without a button answers as Esc would.
    return box.clickedButton() != nullptr ? box.clickedButton() : box.escapeButton();
  }
  box.exec();
  return box.clickedButton() != nullptr ? box.clickedButton() : box.escapeButton();
}

}  // namespace

void MessageBoxes::Information(QWidget* parent, const QString& text) {
  ScreenCentredBox box(QMessageBox::Information, QStringLiteral("Information"), text,
                       QMessageBox::Ok, parent);
  Run(box);
}

bool MessageBoxes::InformationOffering(QWidget* parent, const QString& text, const QString& offer) {
  ScreenCentredBox box(QMessageBox::Information, QStringLiteral("Information"), text,
                       QMessageBox::Ok, parent);
  QPushButton* offered = box.addButton(offer, QMessageBox::ActionRole);
  box.setDefaultButton(QMessageBox::Ok);
  return Run(box) == offered;
}

void MessageBoxes::Warning(QWidget* parent, const QString& text) {
  ScreenCentredBox box(QMessageBox::Warning, QStringLiteral("Warning"), text, QMessageBox::Ok,
                       parent);
  Run(box);
}

bool MessageBoxes::WarningQuestion(QWidget* parent, const QString& text, bool yesByDefault) {
  ScreenCentredBox box(QMessageBox::Warning, QStringLiteral("Warning"), text,
                       QMessageBox::Yes | QMessageBox::No, parent);
  box.setDefaultButton(yesByDefault ? QMessageBox::Yes : QMessageBox::No);
  return Chosen(box, Run(box)) == QMessageBox::Yes;
}

bool MessageBoxes::Question(QWidget* parent, const QString& caption, const QString& text) {
  ScreenCentredBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                       parent);
  box.setDefaultButton(QMessageBox::No);
  return Chosen(box, Run(box)) == QMessageBox::Yes;
}

bool MessageBoxes::Confirm(QWidget* parent, const QString& caption, const QString& text) {
  ScreenCentredBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent);
  QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
  box.setDefaultButton(yes);
  box.setEscapeButton(no);
  return Run(box) == yes;
}

QString MessageBoxes::WithFullStop(const QString& message) {
  if (!message.isEmpty() && message.back() > QLatin1Char('.')) return message + QLatin1Char('.');
  return message;
}

void MessageBoxes::Error(QWidget* parent, const std::exception& error) {
  ScreenCentredBox box(QMessageBox::Critical, QApplication::applicationName(),
                       WithFullStop(FromBytes(error.what())), QMessageBox::Ok, parent);
  Run(box);
}

bool MessageBoxes::WaitForAnswer(TfrmDialog& dialog) {
  if (MessageBoxScript* current = MessageBoxScript::Current()) {
    current->Record({dialog.windowTitle(), dialog.labInfo()->text(), MessageBoxScript::Icon::None,
                     QString::fromLatin1(dialog.metaObject()->className()), QRect()});
    MessageBoxScript::Answer answer = current->Next();
    if (!answer) answer = [](QWidget* shown) { static_cast<TfrmDialog*>(shown)->JvBitBtn2Click(); };
    // Answered once the wait has begun, as a user would.
    QTimer::singleShot(0, &dialog, [answer, &dialog] { answer(&dialog); });
  }
  return dialog.WaitForAnswer();
}

bool MessageBoxPrompter::Confirm(QWidget* parent, const QString& caption, const QString& text) {
  return MessageBoxes::Confirm(parent, caption, text);
}

void MessageBoxPrompter::ShowError(QWidget* parent, const std::exception& error) {
  MessageBoxes::Error(parent, error);
}

MessageBoxScript::MessageBoxScript() { script = this; }

MessageBoxScript::~MessageBoxScript() {
  if (script == this) script = nullptr;
}

MessageBoxScript* MessageBoxScript::Current() { return script; }

void MessageBoxScript::ThenYes() {
  Then([](QWidget* shown) { ClickRole(shown, QMessageBox::YesRole); });
}

void MessageBoxScript::ThenNo() {
  Then([](QWidget* shown) { ClickRole(shown, QMessageBox::NoRole); });
}

MessageBoxScript::Answer MessageBoxScript::Next() {
  if (answers_.empty()) return {};
  Answer answer = std::move(answers_.front());
  answers_.pop_front();
  return answer;
}
