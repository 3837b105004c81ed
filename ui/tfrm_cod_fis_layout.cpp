// The main window's shell: its frame, the tab strip, the status bar, the
// pictures and the tab order; each tab builds its own controls, and the
// actions, tool bars and menus are in tfrm_cod_fis_actions.cpp.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>

#include "ui/artwork.h"
#include "ui/artwork_sizes.h"
#include "ui/page_control_style.h"
#include "ui/pixel_font.h"
#include "ui/tfrm_cod_fis.h"
#include "widgets/taction_updater.h"
#include "widgets/tdata_set_action.h"
#include "widgets/tdate_time_picker.h"
#include "widgets/tjv_form_wallpaper.h"
#include "widgets/tjv_hot_link.h"
#include "widgets/tjv_label.h"
#include "widgets/tjv_status_bar2.h"

namespace {

const QString kTitle = QStringLiteral("Viveze Vevoziv");

}  // namespace

void TfrmCodFis::CreateComponents() {
  setObjectName(QStringLiteral("frmCodFis"));
  setWindowTitle(kTitle);
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));

  DataSource1 = new TDataSource(&LbCsv1);
  DataSource2 = new TDataSource(&LbCsv2);
  LbCsv1.SetTableName(kMunicipalityFileName);
  LbCsv1.SetReadOnly(true);
  LbCsv2.SetTableName(kArchiveFileName);

  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("ClientArea"));
  client->setFixedSize(345, 306);
  // The system button face, followed when the desktop's colours change.
  client->setBackgroundRole(QPalette::Button);
  client->setAutoFillBackground(true);
  setCentralWidget(client);

  CreateActions();
  CreateCoolBar(client);

  PageControl1 = new QTabWidget(client);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  PageControl1->setGeometry(0, 36, 345, 251);
  PageControl1->tabBar()->setAttribute(Qt::WA_Hover);
  auto* pageStyle = new PageControlStyle(QSize(337, 223));
  pageStyle->setParent(PageControl1);
  PageControl1->setStyle(pageStyle);
  TabSheet1 = new QWidget();
  TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
  TabSheet2 = new QWidget();
  TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
  PageControl1->addTab(TabSheet1, QStringLiteral("Calcola codice"));
  PageControl1->addTab(TabSheet2, QStringLiteral("Archivio codici"));
  CreateCalculationTab();
  CreateArchiveTab();
  CreateCheckTab();
  CreateStatusBar(client);
  CreateMenu();

  // The tab strip first, then the inputs in their designed order.
  PageControl1->setFocusPolicy(Qt::TabFocus);
  PageControl1->tabBar()->setFocusPolicy(Qt::TabFocus);
  setTabOrder(PageControl1->tabBar(), Cognome);
  setTabOrder(Cognome, Nome);
  setTabOrder(Nome, ComboBox1);
  setTabOrder(ComboBox1, DateTimePicker1);
  setTabOrder(DateTimePicker1, RadioButton1);
  setTabOrder(RadioButton1, RadioButton2);
  // Of the two sex buttons only the checked one is a tab stop; the arrow keys
  // move between them.
  for (QRadioButton* button : {RadioButton1, RadioButton2}) {
    connect(button, &QRadioButton::toggled, button, [button](bool checked) {
      button->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
    });
  }
  RadioButton2->setFocusPolicy(Qt::ClickFocus);
  NameControls();
  RenderArtwork();

  updater_ = new TActionUpdater(this);
  for (QAction* action :
       {static_cast<QAction*>(DataSetFirst1), static_cast<QAction*>(DataSetPrior1),
        static_cast<QAction*>(DataSetNext1), static_cast<QAction*>(DataSetLast1),
        static_cast<QAction*>(DataSetDelete1), actCalcola, actAzzera, actEsci}) {
    updater_->Add(action);
  }
  for (QMenu* menu : {File1, Modifica1, Records1, N2}) updater_->WatchMenu(menu);

  adjustSize();
  setFixedSize(size());
}

void TfrmCodFis::RenderArtwork() {
  const qreal ratio = devicePixelRatioF();
  setWindowIcon(QIcon(Artwork::Picture(QStringLiteral("app"), artwork_size::kApp, ratio)));
  Image1->setPixmap(Artwork::Picture(QStringLiteral("card"), artwork_size::kCard, ratio));
  if (auto* texture = CoolBar1->findChild<TJvFormWallpaper*>(QStringLiteral("CoolBarTexture"))) {
    texture->SetImage(Artwork::Picture(QStringLiteral("coolbar"), artwork_size::kCoolBar, ratio));
  }
}

void TfrmCodFis::CreateStatusBar(QWidget* client) {
  JvStatusBar21 = new TJvStatusBar2(client);
  JvStatusBar21->setObjectName(QStringLiteral("JvStatusBar21"));
  JvStatusBar21->setGeometry(0, 287, 345, 19);
  JvStatusBar21->SetPanelWidths({110});
  // Windows' classic status-bar font, which the labels take over; the toolkit's
  // default font elsewhere is too large for the designed label widths.
  QFont statusFont = PixelFont(QStringLiteral("Tahoma"), 11);
  statusFont.setStretch(QFont::Condensed);  // Tahoma is narrower than its stand-in
  JvStatusBar21->setFont(statusFont);

  JvLabel1 = new TJvLabel(QStringLiteral("Viveze Vevoziv 1.0"), JvStatusBar21);
  JvLabel1->setObjectName(QStringLiteral("JvLabel1"));
  JvLabel2 = new TJvLabel(QStringLiteral("\u00A9 2026 Viveze Vevoziv"), JvStatusBar21);
  JvLabel2->setObjectName(QStringLiteral("JvLabel2"));
  JvHotLink1 = new TJvHotLink(QStringLiteral("Agenzia Entrate"), JvStatusBar21);
  JvHotLink1->setObjectName(QStringLiteral("JvHotLink1"));
  JvHotLink1->SetUrl(
      QStringLiteral("https://www.agenziaentrate.gov.it/portale/web/guest/schede/istanze/"
                     "richiesta-ts_cf/informazioni-codificazione-pf"));
  QFont link = PixelFont(QStringLiteral("Tahoma"), 11);
  link.setUnderline(true);
  link.setStretch(QFont::Condensed);
  JvHotLink1->setFont(link);
  QPalette blue = JvHotLink1->palette();
  blue.setColor(QPalette::WindowText, Qt::blue);
  JvHotLink1->setPalette(blue);
  QFont hot = PixelFont(QStringLiteral("MS Sans Serif"), 11);
  hot.setUnderline(true);
  JvHotLink1->SetHotTrackFont(hot);
  JvStatusBar21->PlaceControl(JvLabel1, QRect(5, 4, 86, 13));
  JvStatusBar21->PlaceControl(JvLabel2, QRect(120, 4, 110, 13));
  JvStatusBar21->PlaceControl(JvHotLink1, QRect(237, 4, 99, 13));
}
