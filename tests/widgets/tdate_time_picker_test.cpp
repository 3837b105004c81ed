#include "widgets/tdate_time_picker.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QVBoxLayout>

namespace {

// A keyboard user on the picker: keys go where the toolkit sends them, to
// the open calendar when there is one.
class DatePickerKeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    picker.setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    picker.setDate(QDate(1980, 5, 14));
    picker.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
    picker.activateWindow();
    picker.setFocus();
  }
  void TearDown() override {
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  }

  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = &picker;
    if (QWidget* popup = QApplication::activePopupWidget()) {
      target = popup->focusWidget() != nullptr ? popup->focusWidget() : popup;
    }
    QTest::keyClick(target, key, modifiers);
  }

  TDateTimePicker picker;
};

TEST_F(DatePickerKeysTest, AltDownOpensTheCalendarWithoutChangingTheDay) {
  // Made when first dropped down, not with the picker.
  EXPECT_TRUE(picker.findChildren<QCalendarWidget*>().isEmpty());
  Key(Qt::Key_Down, Qt::AltModifier);
  EXPECT_TRUE(picker.CalendarShown());
  EXPECT_EQ(picker.date(), QDate(1980, 5, 14));
  ASSERT_NE(QApplication::activePopupWidget(), nullptr);
  EXPECT_TRUE(QApplication::activePopupWidget()->isAncestorOf(picker.calendarWidget()));
  EXPECT_EQ(picker.calendarWidget()->selectedDate(), QDate(1980, 5, 14));
  // Dropped below the picker, as the arrow drops it.
  const QWidget* popup = QApplication::activePopupWidget();
  EXPECT_GE(popup->frameGeometry().top(), picker.mapToGlobal(QPoint(0, picker.height())).y() - 1);

  // Alt+Up closes it, keeping the day walked to.
  Key(Qt::Key_Down);  // a week on
  Key(Qt::Key_Up, Qt::AltModifier);
  EXPECT_FALSE(picker.CalendarShown());
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_EQ(picker.date(), QDate(1980, 5, 21));
  // Closed, the arrows change the day again.
  Key(Qt::Key_Up);
  EXPECT_EQ(picker.date(), QDate(1980, 5, 22));
}

TEST_F(DatePickerKeysTest, EscapeClosesAndForgetsEnterClosesAndKeeps) {
  Key(Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(picker.CalendarShown());
  Key(Qt::Key_Right);
  Key(Qt::Key_Escape);
  EXPECT_FALSE(picker.CalendarShown());
  EXPECT_EQ(picker.date(), QDate(1980, 5, 14));

  Key(Qt::Key_F4);
  ASSERT_TRUE(picker.CalendarShown());
  Key(Qt::Key_Right);
  Key(Qt::Key_Return);
  EXPECT_FALSE(picker.CalendarShown());
  EXPECT_EQ(picker.date(), QDate(1980, 5, 15));

  // Alt+Down on the open calendar closes it too, as the arrow's second click.
  Key(Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(picker.CalendarShown());
  Key(Qt::Key_Down, Qt::AltModifier);
  EXPECT_FALSE(picker.CalendarShown());
  EXPECT_EQ(picker.date(), QDate(1980, 5, 15));
}

// Dropped down by the mouse first, the calendar takes the same keys.
TEST_F(DatePickerKeysTest, TheArrowClickedOpensACalendarThatTakesTheKeys) {
  QStyleOptionComboBox option;
  option.initFrom(&picker);
  option.editable = true;
  const QRect arrow = picker.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                     QStyle::SC_ComboBoxArrow, &picker);
  QTest::mouseClick(&picker, Qt::LeftButton, Qt::NoModifier, arrow.center());
  ASSERT_TRUE(picker.CalendarShown());
  Key(Qt::Key_Right);
  Key(Qt::Key_Escape);
  EXPECT_FALSE(picker.CalendarShown());
  EXPECT_EQ(picker.date(), QDate(1980, 5, 14));
}

TEST_F(DatePickerKeysTest, ReadOnlyPickerKeepsItsCalendarShut) {
  picker.setReadOnly(true);
  Key(Qt::Key_Down, Qt::AltModifier);
  EXPECT_FALSE(picker.CalendarShown());
  EXPECT_EQ(picker.date(), QDate(1980, 5, 14));
}

// A clerk typing a birth date as it stands on the papers, into a picker
// between two other fields, each key going where the focus is.
class DateTypingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto* layout = new QVBoxLayout(&window);
    before = new QLineEdit(&window);
    picker = new TDateTimePicker(&window);
    after = new QLineEdit(&window);
    for (QWidget* w : {static_cast<QWidget*>(before), static_cast<QWidget*>(picker),
                       static_cast<QWidget*>(after)}) {
      layout->addWidget(w);
    }
    picker->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    before->setFocus();
  }

  void Type(const QString& keys) {
    for (const QChar c : keys) QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
  }
  void Key(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }
  QLineEdit* Text() const { return picker->findChild<QLineEdit*>(); }

  QWidget window;
  QLineEdit* before;
  TDateTimePicker* picker;
  QLineEdit* after;
};

TEST_F(DateTypingTest, ADateTypedAsWrittenIsTheDateShown) {
  const struct {
    QDate held;  // what the picker showed before, as after Azzera
    const char* typed;
    QDate read;
  } cases[] = {
      {{2026, 12, 10}, "05/03/1975", {1975, 3, 5}},
      {{2026, 12, 10}, "5/3/1975", {1975, 3, 5}},
      {{2026, 12, 10}, "05031975", {1975, 3, 5}},
      {{2026, 12, 10}, "5-3-1975", {1975, 3, 5}},
      {{2026, 12, 10}, "5.3.1975", {1975, 3, 5}},
      {{2026, 12, 10}, "1/1/2001", {2001, 1, 1}},
      {{2026, 12, 10}, "12/11/1990", {1990, 11, 12}},
      {{2026, 12, 10}, "5/3/75", {1975, 3, 5}},  // the century of a birth date
      {{2026, 12, 10}, "5/3/05", {2005, 3, 5}},
      // Parts that do not make a day with what the field held before.
      {{2026, 2, 10}, "31/03/1975", {1975, 3, 31}},
      {{2025, 4, 10}, "29/02/1976", {1976, 2, 29}},
      // Typed only in part: the rest as shown.
      {{2026, 12, 10}, "05/03", {2026, 3, 5}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    picker->setDate(c.held);
    before->setFocus();
    Key(Qt::Key_Tab);
    Type(QString::fromLatin1(c.typed));
    EXPECT_EQ(QApplication::focusWidget(), picker);  // a separator never leaves the field
    Key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), after);
    EXPECT_EQ(picker->date(), c.read);
    EXPECT_EQ(Text()->text(), c.read.toString(QStringLiteral("dd/MM/yyyy")));
  }
}

TEST_F(DateTypingTest, AClickIntoTheFieldTypesAsTabDoesALaterClickPicksThePart) {
  picker->setDate(QDate(2026, 12, 10));
  const QPoint year(Text()->width() - 8, Text()->height() / 2);
  QTest::mouseClick(Text(), Qt::LeftButton, {}, year);
  ASSERT_EQ(QApplication::focusWidget(), picker);
  Type(QStringLiteral("05/03/1975"));
  EXPECT_EQ(picker->date(), QDate(1975, 3, 5));
  // Already in the field, a click on the year changes the year alone.
  QTest::mouseClick(Text(), Qt::LeftButton, {}, year);
  Type(QStringLiteral("1976"));
  EXPECT_EQ(picker->date(), QDate(1976, 3, 5));
}

TEST_F(DateTypingTest, WhatReadsAsNoDateStaysAsTypedAndShiftTabLeaves) {
  picker->setDate(QDate(2026, 12, 10));
  Key(Qt::Key_Tab);
  Type(QStringLiteral("31/04/1975"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), before);
  EXPECT_EQ(Text()->text(), QStringLiteral("31/04/1975"));  // not the date before
  // Corrected, it is the date.
  Key(Qt::Key_Tab);
  Type(QStringLiteral("30"));
  Key(Qt::Key_Tab);
  EXPECT_EQ(picker->date(), QDate(1975, 4, 30));
  // Left half typed, a year is no year.
  picker->setFocus(Qt::BacktabFocusReason);  // the year selected
  Type(QStringLiteral("197"));
  Key(Qt::Key_Tab);
  EXPECT_EQ(Text()->text(), QStringLiteral("30/04/197"));
}

}  // namespace
