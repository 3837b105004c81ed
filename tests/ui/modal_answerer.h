#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <vector>

// Answers the modal windows the program puts up while a test drives it, and
// remembers what they said. Each answer is a function given the modal widget;
// a message box with no answer queued is answered with its default button.
class ModalAnswerer {
 public:
  struct Seen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString className;
  };
  using Answer = std::function<void(QWidget*)>;

  ModalAnswerer() {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }

  void Then(Answer answer) { answers_.push_back(std::move(answer)); }
  void ThenButton(QMessageBox::StandardButton button) {
    Then([button](QWidget* w) {
      if (auto* box = qobject_cast<QMessageBox*>(w)) box->button(button)->click();
    });
  }

  const std::vector<Seen>& seen() const { return seen_; }

 private:
  void Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || modal == last_) return;
    last_ = modal;
    Seen s;
    s.title = modal->windowTitle();
    s.className = QString::fromLatin1(modal->metaObject()->className());
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      s.text = box->text();
      s.icon = box->icon();
    }
    seen_.push_back(s);
    Answer answer;
    if (!answers_.empty()) {
      answer = std::move(answers_.front());
      answers_.pop_front();
    }
    // Answer from the event loop, not from inside the poll.
    QTimer::singleShot(0, modal, [modal, answer, this] {
      last_ = nullptr;
      if (answer) {
        answer(modal);
      } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        QAbstractButton* button = box->defaultButton();
        if (!button && !box->buttons().isEmpty()) button = box->buttons().first();
        if (button) button->click();
      }
    });
  }

  QTimer timer_;
  std::deque<Answer> answers_;
  std::vector<Seen> seen_;
  QWidget* last_ = nullptr;
};
