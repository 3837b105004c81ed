// The calculation card typed from the keyboard as a clerk types it: field
// after field with Tab, the birth date as written on the papers, Enter to
// compute; each key goes where the focus is.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QClipboard>
#include <QCompleter>
#include <QLabel>

#include "tests/ui/main_window_fixture.h"
#include "ui/message_box.h"
#include "widgets/tdb_text.h"

namespace {

class KeyboardEntryTest : public ShippedPlacesTest {
 protected:
  TfrmCodFis& StartFocused() {
    TfrmCodFis& w = Start();
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    return w;
  }
  static void Type(const QString& keys) {
    for (const QChar c : keys) {
      if (c.unicode() < 0x80) {
        QTest::keyClicks(QApplication::focusWidget(), QString(c));
      } else {  // a letter of no key of its own, as an input method types it
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(c),
                            Qt::NoModifier);
      }
    }
  }
  static void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
  }
  // Surname, name, place and date, Tab after each, from the surname on.
  void TypeAlong(const char* surname, const char* name, const char* place, const char* born) {
    window_->Cognome->setFocus(Qt::TabFocusReason);
    Type(QString::fromUtf8(surname));
    Key(Qt::Key_Tab);
    Type(QString::fromUtf8(name));
    Key(Qt::Key_Tab);
    Type(QString::fromUtf8(place));
    Key(Qt::Key_Escape);  // the suggestions
    Key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), window_->DateTimePicker1);
    Type(QString::fromLatin1(born));
  }
};

TEST_F(KeyboardEntryTest, APersonTypedAfterAnotherIsComputedOnEnter) {
  TfrmCodFis& w = StartFocused();
  MessageBoxScript answerer;
  w.RadioButton2->setChecked(true);
  TypeAlong("rossi", "mario", "roma", "1/1/1980");
  Key(Qt::Key_Return);  // from the date field
  ASSERT_EQ(answerer.seen().size(), 1u);
  EXPECT_EQ(answerer.seen()[0].title, QStringLiteral("Information"));
  EXPECT_EQ(w.Label6->text(), QStringLiteral("RSSMRA80A01H501U"));

  w.actAzzera->trigger();  // the date field back on today
  w.RadioButton1->setChecked(true);
  TypeAlong("NERI", "ANNA", "ROMA", "05/03/1975");
  Key(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), w.RadioButton1);
  Key(Qt::Key_Enter, Qt::KeypadModifier);  // from the sex, on the keypad
  ASSERT_EQ(answerer.seen().size(), 2u);
  EXPECT_EQ(w.Label6->text(), QStringLiteral("NRENNA75C45H501N"));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("NRENNA75C45H501N"));
  ASSERT_EQ(w.LbCsv2.RecordCount(), 2);
  EXPECT_EQ(ArchiveRecord(2), (std::vector<std::string>{"NERI", "ANNA", "F", "ROMA", "05/03/1975",
                                                        "NRENNA75C45H501N"}));
}

TEST_F(KeyboardEntryTest, TheSuggestionsTakeTheFirstEnterCalcolaTheNext) {
  TfrmCodFis& w = StartFocused();
  MessageBoxScript answerer;
  TypePerson("ROSSI", "MARIO", false, QDate(1980, 1, 1), "");
  w.ComboBox1->setFocus(Qt::TabFocusReason);
  Type(QStringLiteral("Castel d’Aiano"));  // the apostrophe of a web page
  auto* completer = w.findChild<QCompleter*>(QStringLiteral("ComboBox1Completer"));
  ASSERT_TRUE(completer->popup()->isVisible());
  QTest::keyClick(completer->popup(), Qt::Key_Return);
  EXPECT_FALSE(completer->popup()->isVisible());
  EXPECT_TRUE(answerer.seen().empty());
  Key(Qt::Key_Return);
  ASSERT_EQ(answerer.seen().size(), 1u);
  EXPECT_EQ(answerer.seen()[0].title, QStringLiteral("Information"));
  EXPECT_EQ(w.Label6->text(), QStringLiteral("RSSMRA80A01C075X"));
  EXPECT_EQ(w.DBText1->text(), QStringLiteral("BO"));
  EXPECT_EQ(ArchiveRecord(1)[3], "CASTEL D'AIANO");  // the suggestion the first Enter took
}

TEST_F(KeyboardEntryTest, ADateThatIsNoDayIsRefusedNotReplaced) {
  TfrmCodFis& w = StartFocused();
  MessageBoxScript answerer;
  TypeAlong("NERI", "ANNA", "ROMA", "31/04/1975");
  Key(Qt::Key_Return);
  ASSERT_EQ(answerer.seen().size(), 1u);
  EXPECT_EQ(answerer.seen()[0].title, QStringLiteral("Warning"));
  EXPECT_EQ(answerer.seen()[0].text, QStringLiteral("Data non valida: 31/04/1975"));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("sentinel"));
  EXPECT_TRUE(w.Label6->text().isEmpty());
  EXPECT_EQ(w.LbCsv2.RecordCount(), 0);
}

// The cursor rests where a walk from the first record stops; the label
// tells only what the answer says.
TEST_F(KeyboardEntryTest, TheProvinceLabelTellsTheAnswersProvinceOnly) {
  TfrmCodFis& w = StartFocused();
  const struct {
    const char* typed;
    const char* shown;
    bool noAnswer;
  } cases[] = {{"XYZQ", "", true},
               {"CASTRO", "BG / LE", true},
               {"Roma", "RM", false},
               {"Castel d’Aiano", "BO", false},
               {"Atlàntide", "", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    w.ComboBox1->setFocus(Qt::TabFocusReason);
    Type(QString::fromUtf8(c.typed));
    Key(Qt::Key_Escape);
    Key(Qt::Key_Tab);  // leaving the box looks it up
    EXPECT_EQ(w.DBText1->text(), QString::fromLatin1(c.shown));
    EXPECT_GE(w.DBText1->contentsRect().width(),
              w.DBText1->fontMetrics().horizontalAdvance(w.DBText1->text()));
    if (c.noAnswer) {
      EXPECT_EQ(w.LbCsv1.RecordNumber(), w.LbCsv1.RecordCount());
    }
  }
  EXPECT_EQ(w.DBText1->width(), 41);
}

}  // namespace
