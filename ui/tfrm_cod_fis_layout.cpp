// The main window's layout: its components, where they sit, their fonts and
// pictures, and the bindings of their events; the actions, the tool bars and
// the menus are in tfrm_cod_fis_actions.cpp.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <array>

#include "engine/short_date.h"
#include "storage/archive/archive.h"
#include "storage/places/places.h"
#include "storage/setup/data_files.h"
#include "ui/artwork.h"
#include "ui/artwork_sizes.h"
#include "ui/captioned_value_accessible.h"
#include "ui/light_palette.h"
#include "ui/page_control_style.h"
#include "ui/pixel_font.h"
#include "ui/popup_click_through.h"
#include "ui/tfrm_cod_fis.h"
#include "widgets/byte_list_model.h"
#include "widgets/taction_updater.h"
#include "widgets/tdata_source.h"
#include "widgets/tdataset_action.h"
#include "widgets/tdate_time_picker.h"
#include "widgets/tdb_text.h"
#include "widgets/tjv_form_wallpaper.h"
#include "widgets/tjv_hot_link.h"
#include "widgets/tjv_label.h"
#include "widgets/tjv_status_bar2.h"
#include "widgets/trxdbgrid.h"

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

void TfrmCodFis::CreateCalculationTab() {
  Panel1 = new QWidget(TabSheet1);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setGeometry(0, 8, 337, 215);
  LightPalette::Apply(Panel1);

  Image1 = new QLabel(Panel1);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(-1, -1, 339, 217);

  const auto whiteBackground = [](QWidget* w, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = w->palette();
    palette.setColor(role, colour);
    w->setPalette(palette);
    w->setBackgroundRole(role);
    w->setAutoFillBackground(true);
  };

  Label6 = new QLabel(Panel1);
  Label6->setObjectName(QStringLiteral("Label6"));
  CaptionedValueAccessible::Caption(Label6, QStringLiteral("Codice fiscale"));
  Label6->setGeometry(59, 99, 241, 24);
  Label6->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 16, true));
  whiteBackground(Label6, QPalette::Window, Qt::white);
  Label6->setTextInteractionFlags(Qt::TextSelectableByMouse);

  const auto makeEdit = [&](const QString& name, int top, const QString& text) {
    auto* edit = new QLineEdit(text, Panel1);
    edit->setObjectName(name);
    edit->setGeometry(59, top, 193, 12);
    edit->setFrame(false);
    edit->setTextMargins(0, 0, 0, 0);
    edit->setContentsMargins(0, 0, 0, 0);
    // Letters are stored as typed, in upper case.
    connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& typed) {
      const QString upper = typed.toUpper();
      if (upper == typed) return;
      const int cursor = edit->cursorPosition();
      edit->setText(upper);
      edit->setCursorPosition(cursor);
    });
    edit->installEventFilter(this);
    return edit;
  };
  Cognome = makeEdit(QStringLiteral("Cognome"), 126, QStringLiteral("COGNOME"));
  whiteBackground(Cognome, QPalette::Base, Qt::white);
  Nome = makeEdit(QStringLiteral("Nome"), 141, QStringLiteral("NOME"));

  ComboBox1 = new QComboBox(Panel1);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->setGeometry(59, 157, 145, 21);
  ComboBox1->setEditable(true);
  ComboBox1->setInsertPolicy(QComboBox::NoInsert);
  ComboBox1->setMaxVisibleItems(8);
  // Ten thousand names go in at once, not item by item.
  placeNames_ = new ByteListModel(ComboBox1);
  ComboBox1->setModel(placeNames_);
  // Suggestions while typing, but nothing may change what is typed: a
  // completer owned by the box would make it swap the typed text for the
  // entry matching it ignoring case. The places offered are found by the
  // lookup's own steps (BOZEN for "bozen", REGGIO DI CALABRIA for "reggio
  // calabria"), so the popup shows them as they come.
  ComboBox1->setCompleter(nullptr);
  placeSuggestions_ = new ByteListModel(ComboBox1);
  auto* completer = new QCompleter(placeSuggestions_, ComboBox1);
  completer->setObjectName(QStringLiteral("ComboBox1Completer"));
  completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
  completer->setWidget(ComboBox1->lineEdit());
  // A click on a tool button both closes the suggestions and runs the button.
  new PopupClickThrough(completer->popup());
  connect(ComboBox1->lineEdit(), &QLineEdit::textEdited, completer,
          [this, completer](const QString& typed) { SuggestPlaces(completer, typed); });
  connect(completer, qOverload<const QString&>(&QCompleter::activated), this,
          [this](const QString& picked) {
            ComboBox1->setEditText(picked);
            Guarded([this] { ComboBox1Click(); });
          });
  ComboBox1->installEventFilter(this);

  DateTimePicker1 = new TDateTimePicker(Panel1);
  DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
  DateTimePicker1->setGeometry(215, 175, 85, 21);
  DateTimePicker1->setDisplayFormat(QString::fromStdString(ShortDateFormat()));

  RadioButton1 = new QRadioButton(QStringLiteral("F"), Panel1);
  RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
  RadioButton1->setGeometry(287, 130, 33, 17);
  RadioButton1->setChecked(true);
  whiteBackground(RadioButton1, QPalette::Window, Qt::white);
  RadioButton2 = new QRadioButton(QStringLiteral("M"), Panel1);
  RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
  RadioButton2->setGeometry(287, 146, 37, 17);
  whiteBackground(RadioButton2, QPalette::Window, Qt::white);

  DBText1 = new TDBText(Panel1);
  DBText1->setObjectName(QStringLiteral("DBText1"));
  CaptionedValueAccessible::Caption(DBText1, QStringLiteral("Provincia"));
  DBText1->setGeometry(59, 177, 41, 17);
  DBText1->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 13, true));
  whiteBackground(DBText1, QPalette::Window, Qt::white);
  DBText1->SetDataSource(DataSource1);
  DBText1->SetDataField(QString::fromLatin1(place_column::kProvince));
}

void TfrmCodFis::CreateArchiveTab() {
  RxDBGrid1 = new TRxDBGrid(TabSheet2);
  RxDBGrid1->setObjectName(QStringLiteral("RxDBGrid1"));
  RxDBGrid1->setGeometry(0, 0, 337, 223);
  RxDBGrid1->setFont(PixelFont(QStringLiteral("Microsoft Sans Serif"), 11));
  RxDBGrid1->SetTitleFont(PixelFont(QStringLiteral("Microsoft Sans Serif"), 12, true));
  RxDBGrid1->SetDataSource(DataSource2);
  // The archive's six columns, in its order.
  constexpr std::array<int, kArchiveColumns.size()> widths = {66, 99, 13, 72, 61, 122};
  for (std::size_t c = 0; c < kArchiveColumns.size(); ++c) {
    RxDBGrid1->AddColumn(QString::fromLatin1(kArchiveColumns[c]), widths[c]);
  }
  RxDBGrid1->SetPrompter(&prompter_);
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
