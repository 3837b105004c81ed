// The program's standard boxes as they are made, answered by the test script.
#include "ui/message_box.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <cstdlib>
#include <stdexcept>

#include "storage/table_error.h"
#include "ui/artwork.h"
#include "ui/artwork_sizes.h"
#include "ui/program_setup.h"
#include "ui/tfrm_dialog.h"

namespace {

struct Buttons {
  QStringList texts;
  QString defaultText;
  QString escapeText;
};

Buttons Read(QWidget* shown) {
  Buttons b;
  auto* box = qobject_cast<QMessageBox*>(shown);
  if (box == nullptr) return b;
  for (QAbstractButton* button : box->buttons()) b.texts << button->text();
  if (box->defaultButton() != nullptr) b.defaultText = box->defaultButton()->text();
  if (box->escapeButton() != nullptr) b.escapeText = box->escapeButton()->text();
  return b;
}

TEST(MessageBoxesTest, ConfirmHasYesByDefaultAndNoOnEscape) {
  SetUpProgram();
  for (const bool yes : {true, false}) {
    MessageBoxScript script;
    Buttons seen;
    script.Then([&](QWidget* shown) {
      seen = Read(shown);
      auto* box = qobject_cast<QMessageBox*>(shown);
      (yes ? box->defaultButton() : box->escapeButton())->click();
    });
    EXPECT_EQ(MessageBoxes::Confirm(nullptr, "Confirm", "Delete record?"), yes);
    ASSERT_EQ(script.seen().size(), 1u);
    EXPECT_EQ(script.seen()[0].title, "Confirm");
    EXPECT_EQ(script.seen()[0].text, "Delete record?");
    EXPECT_EQ(script.seen()[0].icon, MessageBoxScript::Icon::Question);
    EXPECT_EQ(seen.texts.size(), 2);
    EXPECT_EQ(seen.defaultText, "&Yes");
    EXPECT_EQ(seen.escapeText, "&No");
  }
  // Closed without a button: the answer Esc gives.
  MessageBoxScript script;
  script.Then([](QWidget* shown) { shown->close(); });
  EXPECT_FALSE(MessageBoxes::Confirm(nullptr, "Confirm", "Delete record?"));
}

TEST(MessageBoxesTest, QuestionDefaultsToNo) {
  MessageBoxScript script;
  Buttons seen;
  script.Then([&](QWidget* shown) { seen = Read(shown); });  // nothing clicked
  EXPECT_FALSE(MessageBoxes::Question(nullptr, "Confirm", "Uscire?"));
  EXPECT_EQ(seen.defaultText, "&No");
  script.ThenYes();
  EXPECT_TRUE(MessageBoxes::Question(nullptr, "Confirm", "Uscire?"));
  script.Then({});  // the default button
  EXPECT_FALSE(MessageBoxes::Question(nullptr, "Confirm", "Uscire?"));
  EXPECT_EQ(script.seen().size(), 3u);
}

TEST(MessageBoxesTest, InformationWarningAndErrorCaptionsAndIcons) {
  SetUpProgram();
  MessageBoxScript script;
  MessageBoxes::Information(nullptr, "a");
  MessageBoxes::Warning(nullptr, "b");
  MessageBoxes::Error(nullptr, TableError("Cannot open file x"));
  MessageBoxes::Error(nullptr, std::runtime_error("done."));
  ASSERT_EQ(script.seen().size(), 4u);
  EXPECT_EQ(script.seen()[0].title, "Information");
  EXPECT_EQ(script.seen()[0].icon, MessageBoxScript::Icon::Information);
  EXPECT_EQ(script.seen()[1].title, "Warning");
  EXPECT_EQ(script.seen()[1].icon, MessageBoxScript::Icon::Warning);
  EXPECT_EQ(script.seen()[2].title, "Viveze Vevoziv");
  EXPECT_EQ(script.seen()[2].icon, MessageBoxScript::Icon::Error);
  EXPECT_EQ(script.seen()[2].text, "Cannot open file x.");
  EXPECT_EQ(script.seen()[3].text, "done.");
}

// The boxes show the program's own pictures, and none on their buttons: the
// desktop's would be searched for in the icon theme's folders at every box.
TEST(MessageBoxesTest, TheBoxesPicturesAreTheProgramsOwn) {
  SetUpProgram();
  MessageBoxScript script;
  QStringList seen;
  const auto look = [&](const char* picture) {
    return [&seen, picture](QWidget* shown) {
      auto* box = qobject_cast<QMessageBox*>(shown);
      ASSERT_NE(box, nullptr);
      const QImage own = Artwork::Picture(QString::fromLatin1(picture), artwork_size::kDialogIcon,
                                          box->devicePixelRatioF())
                             .toImage();
      EXPECT_EQ(box->iconPixmap().toImage().convertToFormat(own.format()), own) << picture;
      for (QAbstractButton* button : box->buttons()) EXPECT_TRUE(button->icon().isNull());
      seen << QString::fromLatin1(picture);
      box->buttons().first()->click();
    };
  };
  script.Then(look("dlg_information"));
  script.Then(look("dlg_warning"));
  script.Then(look("dlg_error"));
  script.Then(look("dlg_question"));
  MessageBoxes::Information(nullptr, "a");
  MessageBoxes::Warning(nullptr, "b");
  MessageBoxes::Error(nullptr, TableError("c"));
  MessageBoxes::Question(nullptr, "Confirm", "d");
  EXPECT_EQ(seen.size(), 4);
  EXPECT_EQ(script.seen()[3].icon, MessageBoxScript::Icon::Question);
}

// Within a pixel or two: a frame may be an odd number of pixels.
void ExpectCentredOnScreen(const QRect& box) {
  const QPoint screen = QGuiApplication::primaryScreen()->availableGeometry().center();
  EXPECT_TRUE(box.isValid());
  EXPECT_LE(std::abs(box.center().x() - screen.x()), 2) << box.center().x() << " " << screen.x();
  EXPECT_LE(std::abs(box.center().y() - screen.y()), 2) << box.center().y() << " " << screen.y();
}

TEST(MessageBoxesTest, EveryBoxIsCentredOnTheScreenWhateverItsParent) {
  SetUpProgram();
  // A parent away from the centre, one not shown yet (as at start-up), none.
  QWidget shownParent;
  shownParent.setGeometry(20, 30, 200, 100);
  shownParent.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&shownParent));
  QWidget hiddenParent;
  for (QWidget* parent : {&shownParent, &hiddenParent, static_cast<QWidget*>(nullptr)}) {
    MessageBoxScript script;
    MessageBoxes::Information(parent, "Il Codice è stato copiato negli appunti");
    MessageBoxes::Warning(parent, "Comune non trovato: Atlantide");
    MessageBoxes::Question(parent, "Confirm", "Uscire?");
    MessageBoxes::Confirm(parent, "Confirm", "Delete record?");
    MessageBoxes::Error(parent, TableError("Cannot open file /a/very/long/path/comuni.dat"));
    ASSERT_EQ(script.seen().size(), 5u);
    for (const MessageBoxScript::Seen& seen : script.seen()) {
      SCOPED_TRACE(seen.text.toStdString());
      ExpectCentredOnScreen(seen.geometry);
    }
  }
}

TEST(MessageBoxesTest, ScriptAnswersTheConfirmationDialogWhileItWaits) {
  MessageBoxScript script;
  TfrmDialog dialog;
  dialog.setWindowTitle("Eliminazione record");
  dialog.labInfo()->setText("Continuare?");
  bool shownWhenAnswered = false;
  script.Then([&](QWidget* shown) {
    shownWhenAnswered = shown->isVisible();
    static_cast<TfrmDialog*>(shown)->JvBitBtn1Click();
  });
  EXPECT_TRUE(MessageBoxes::WaitForAnswer(dialog));
  EXPECT_TRUE(shownWhenAnswered);
  // With no answer queued a dialog is cancelled, never left waiting.
  EXPECT_FALSE(MessageBoxes::WaitForAnswer(dialog));
  ASSERT_EQ(script.seen().size(), 2u);
  EXPECT_EQ(script.seen()[0].title, "Eliminazione record");
  EXPECT_EQ(script.seen()[0].text, "Continuare?");
  EXPECT_EQ(script.seen()[0].className, "TfrmDialog");
}

}  // namespace
