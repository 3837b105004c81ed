// GoogleTest entry point for the Qt test programs: widgets need a live
// QApplication before the first test builds one.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
#ifdef VIVEZE_TEST_SCALE_FACTOR
  // Set here, not by the caller, so the program shows the same at any prompt.
  qputenv("QT_SCALE_FACTOR", VIVEZE_TEST_SCALE_FACTOR);
#endif
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
