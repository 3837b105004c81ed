#include "widgets/tdate_time_picker.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>

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

}  // namespace
