#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "ui/tfrm_dialog.h"
#include "widgets/tjv_bit_btn.h"
#include "widgets/tjv_form_wallpaper.h"

namespace {

bool SameImage(const QPixmap& a, const QPixmap& b) { return a.toImage() == b.toImage(); }

// Runs `answer` once the dialog is up, then waits for it as the delete flow does.
bool AnswerAndWait(TfrmDialog& dialog, const std::function<void(TfrmDialog&)>& answer) {
  QTimer::singleShot(0, &dialog, [&dialog, answer] { answer(dialog); });
  // An answer that does not get through fails the test instead of hanging it.
  QTimer::singleShot(5000, &dialog, [&dialog] {
    ADD_FAILURE() << "the dialog was not answered";
    dialog.hide();
  });
  return dialog.WaitForAnswer();
}

void Key(TfrmDialog& dialog, Qt::Key key) {
  QWidget* target = dialog.focusWidget() ? dialog.focusWidget() : &dialog;
  QTest::keyClick(target, key);
}

TEST(TfrmDialogTest, IsBuiltAsLaidOut) {
  TfrmDialog dialog;
  EXPECT_EQ(dialog.size(), QSize(324, 112));
  EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
  EXPECT_EQ(dialog.windowModality(), Qt::ApplicationModal);
  EXPECT_FALSE(dialog.Cancelled());

  // Created bottom first: the wallpaper lies under everything else.
  QList<QWidget*> stack;
  for (QObject* child : dialog.children()) {
    if (auto* widget = qobject_cast<QWidget*>(child)) stack << widget;
  }
  const QList<QWidget*> expected{dialog.JvFormWallpaper1(), dialog.img(),       dialog.labTitolo(),
                                 dialog.labInfo(),          dialog.JvBitBtn1(), dialog.JvBitBtn2()};
  EXPECT_EQ(stack, expected);

  EXPECT_EQ(dialog.JvFormWallpaper1()->TileOrigins().size(), 15);
  EXPECT_TRUE(dialog.JvBitBtn1()->isDefault());
  EXPECT_EQ(dialog.JvBitBtn1()->nextInFocusChain(), dialog.JvBitBtn2());
}

TEST(TfrmDialogTest, NewDialogShowsTheInformationPicture) {
  TfrmDialog dialog;
  EXPECT_EQ(dialog.IconKind(), 1);
  EXPECT_EQ(dialog.ImageIndex(), 1);
  EXPECT_TRUE(SameImage(dialog.img()->pixmap(), dialog.imgLst(1)));
}

TEST(TfrmDialogTest, IconKindsMapOntoTheImageList) {
  struct Case {
    quint8 kind;
    int image;
  };
  TfrmDialog dialog;
  for (const Case& c : {Case{0, 0}, Case{2, 3}, Case{3, 2}, Case{1, 1}, Case{4, 1}, Case{255, 1},
                        Case{3, 2}, Case{7, 2}}) {
    dialog.SetIconKind(c.kind);
    EXPECT_EQ(dialog.IconKind(), c.kind);
    EXPECT_EQ(dialog.ImageIndex(), c.image) << int(c.kind);
    EXPECT_TRUE(SameImage(dialog.img()->pixmap(), dialog.imgLst(c.image))) << int(c.kind);
  }
}

TEST(TfrmDialogTest, ThePicturesAreTheProgramsArtwork) {
  TfrmDialog dialog;
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(dialog.imgLst(i).size(), QSize(32, 32)) << i;
    for (int j = 0; j < i; ++j) EXPECT_FALSE(SameImage(dialog.imgLst(i), dialog.imgLst(j)));
  }
  EXPECT_EQ(dialog.JvFormWallpaper1()->Image().size(), QSize(128, 28));
  EXPECT_FALSE(dialog.JvBitBtn1()->icon().isNull());
  EXPECT_FALSE(dialog.JvBitBtn2()->icon().isNull());
}

struct AnswerCase {
  const char* name;
  std::function<void(TfrmDialog&)> answer;
  bool ok;
};

class TfrmDialogAnswerTest : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(TfrmDialogAnswerTest, WaitEndsWithTheAnswerAndTheDialogHidden) {
  TfrmDialog dialog;
  const bool ok = AnswerAndWait(dialog, GetParam().answer);
  EXPECT_EQ(ok, GetParam().ok);
  EXPECT_EQ(dialog.Cancelled(), !GetParam().ok);
  EXPECT_FALSE(dialog.isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, TfrmDialogAnswerTest,
    ::testing::Values(
        AnswerCase{"OkButton", [](TfrmDialog& d) { d.JvBitBtn1()->click(); }, true},
        AnswerCase{"CancelButton", [](TfrmDialog& d) { d.JvBitBtn2()->click(); }, false},
        AnswerCase{"EnterRightAway", [](TfrmDialog& d) { Key(d, Qt::Key_Return); }, true},
        AnswerCase{"SpaceRightAway", [](TfrmDialog& d) { Key(d, Qt::Key_Space); }, true},
        AnswerCase{"Escape", [](TfrmDialog& d) { Key(d, Qt::Key_Escape); }, false},
        AnswerCase{"TabThenEnter",
                   [](TfrmDialog& d) {
                     Key(d, Qt::Key_Tab);
                     Key(d, Qt::Key_Return);
                   },
                   false},
        AnswerCase{"CloseBox", [](TfrmDialog& d) { d.close(); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TfrmDialogTest, FocusStartsOnOk) {
  TfrmDialog dialog;
  QWidget* focused = nullptr;
  AnswerAndWait(dialog, [&focused](TfrmDialog& d) {
    focused = d.focusWidget();
    d.JvBitBtn2()->click();
  });
  EXPECT_EQ(focused, dialog.JvBitBtn1());
}

TEST(TfrmDialogTest, OkThenCloseStillAnswersOk) {
  TfrmDialog dialog;
  EXPECT_TRUE(AnswerAndWait(dialog, [](TfrmDialog& d) { d.JvBitBtn1()->click(); }));
  dialog.close();  // a hidden dialog's answer stays
  EXPECT_FALSE(dialog.Cancelled());
}

TEST(TfrmDialogTest, DestroyedWhileWaitingAnswersCancel) {
  QPointer<TfrmDialog> dialog = new TfrmDialog;
  QTimer::singleShot(0, [dialog] { delete dialog.data(); });
  EXPECT_FALSE(dialog->WaitForAnswer());
  EXPECT_TRUE(dialog.isNull());
}

TEST(TfrmDialogTest, LongInformationIsCutOffAndTheWindowKeepsItsSize) {
  TfrmDialog dialog;
  dialog.labTitolo()->setText(QStringLiteral("Attenzione!"));
  dialog.labInfo()->setText(QStringLiteral("Verrà eliminato il Viveze Vevoziv di:\r\n\r\n") +
                            QString(80, QLatin1Char('W')) + QStringLiteral("  Continuare?"));
  int lineHeight = 0;
  QRect info;
  QRect title;
  AnswerAndWait(dialog, [&](TfrmDialog& d) {
    lineHeight = d.labInfo()->fontMetrics().height();
    info = d.labInfo()->geometry();
    title = d.labTitolo()->geometry();
    d.JvBitBtn2()->click();
  });
  EXPECT_EQ(dialog.size(), QSize(324, 112));
  EXPECT_EQ(info.topLeft(), QPoint(56, 24));
  EXPECT_GT(info.right(), 324);  // runs past the right edge
  // CR LF starts a line, CR LF CR LF leaves an empty one: three lines.
  EXPECT_GE(info.height(), 3 * lineHeight);
  EXPECT_LT(info.height(), 4 * lineHeight);
  EXPECT_EQ(title.topLeft(), QPoint(56, 8));
  EXPECT_EQ(title.size(), dialog.labTitolo()->sizeHint());

  // Text changed while the dialog is up is sized too.
  QSize grown;
  AnswerAndWait(dialog, [&grown](TfrmDialog& d) {
    d.labTitolo()->setText(QString(60, QLatin1Char('M')));
    QCoreApplication::processEvents();
    grown = d.labTitolo()->size();
    d.JvBitBtn2()->click();
  });
  EXPECT_EQ(grown, dialog.labTitolo()->sizeHint());
  EXPECT_EQ(dialog.size(), QSize(324, 112));
}

TEST(TfrmDialogTest, ShowsCentredOnTheMainWindow) {
  QWidget main;
  main.setGeometry(200, 150, 600, 400);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  auto* dialog = new TfrmDialog(&main);
  QPoint centre;
  AnswerAndWait(*dialog, [&centre](TfrmDialog& d) {
    centre = d.frameGeometry().center();
    d.JvBitBtn1()->click();
  });
  EXPECT_LE((centre - main.frameGeometry().center()).manhattanLength(), 4);
  delete dialog;
}

}  // namespace
