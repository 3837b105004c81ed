// Every message box the program shows, and the confirmation's wait.
#pragma once

#include <QRect>
#include <QString>
#include <deque>
#include <exception>
#include <functional>
#include <vector>

#include "widgets/tprompter.h"

class QWidget;
class TfrmDialog;

// The one place where the program's standard message boxes are made and
// shown, and where its confirmation dialog is waited for. Captions, icons and
// buttons are the designed ones.
class MessageBoxes {
 public:
  // "Information" with OK.
  static void Information(QWidget* parent, const QString& text);
  // "Information" with OK (the default) and a button of the caller's; true
  // when that button was chosen.
  static bool InformationOffering(QWidget* parent, const QString& text, const QString& offer);
  // "Warning" with OK.
  static void Warning(QWidget* parent, const QString& text);
  // "Warning" with Yes and No, Yes the default unless told; true on Yes.
  static bool WarningQuestion(QWidget* parent, const QString& text, bool yesByDefault = true);
  // A question with Yes and No, No the default; true on Yes.
  static bool Question(QWidget* parent, const QString& caption, const QString& text);
  // The grid's confirmation: "&Yes" (the default) and "&No" (also Esc),
  // centred on the screen; true on "&Yes".
  static bool Confirm(QWidget* parent, const QString& caption, const QString& text);
  // The standard error box: the message with a full stop added when its last
  // character sorts after ".", the application title as caption, one OK.
  static void Error(QWidget* parent, const std::exception& error);
  static QString WithFullStop(const QString& message);

  // Shows the program's own confirmation dialog and waits for it; true on OK.
  static bool WaitForAnswer(TfrmDialog& dialog);

  // Runs a handler; an error stops it there and is shown, never reaching Qt.
  template <class Handler>
  static void Guard(Handler&& handler, QWidget* parent = nullptr) {
    try {
      handler();
    } catch (const std::exception& error) {
      Error(parent, error);
    }
  }
};

// What a window hands its widgets to ask and to report through.
class MessageBoxPrompter : public TPrompter {
 public:
  bool Confirm(QWidget* parent, const QString& caption, const QString& text) override;
  void ShowError(QWidget* parent, const std::exception& error) override;
};

// Stands in for the user while a test drives the windows: every box and every
// confirmation dialog the program puts up is recorded and answered at once,
// by the next answer queued (a function given the box or dialog) or, with
// none queued, by the box's default button (a dialog: Cancel). One at a time.
class MessageBoxScript {
 public:
  // The picture a box shows; a confirmation dialog shows none of these.
  enum class Icon { None, Information, Warning, Question, Error };
  struct Seen {
    QString title;
    QString text;
    Icon icon = Icon::None;
    QString className;
    QRect geometry;  // where a box stood, without its frame
  };
  using Answer = std::function<void(QWidget*)>;

  MessageBoxScript();
  ~MessageBoxScript();
  MessageBoxScript(const MessageBoxScript&) = delete;
  MessageBoxScript& operator=(const MessageBoxScript&) = delete;

  void Then(Answer answer) { answers_.push_back(std::move(answer)); }
  // The box's Yes button, or its No button.
  void ThenYes();
  void ThenNo();
  const std::vector<Seen>& seen() const { return seen_; }

  // What the boxes do when a script is in place.
  static MessageBoxScript* Current();
  void Record(Seen seen) { seen_.push_back(std::move(seen)); }
  Answer Next();

 private:
  std::deque<Answer> answers_;
  std::vector<Seen> seen_;
};
