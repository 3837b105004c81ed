// The main window's actions and the tool bars and menus that show them.
#include <QAction>
#include <QEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QToolButton>

#include "ui/artwork.h"
#include "ui/menu_icon_style.h"
#include "ui/tfrm_cod_fis.h"
#include "widgets/tdata_set_action.h"
#include "widgets/tdata_source.h"
#include "widgets/tjv_form_wallpaper.h"

namespace {

// Tool buttons whose tool bar has hints off show no tooltip although their
// actions carry hints.
class HintsOff : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject*, QEvent* event) override { return event->type() == QEvent::ToolTip; }
};

// Gives each entry of a menu that has no mnemonic the first letter or digit of
// its caption no other entry uses.
void GiveMnemonics(QMenu* menu) {
  QSet<QChar> used;
  const QList<QAction*> entries = menu->actions();
  for (QAction* entry : entries) {
    const QString text = entry->text();
    const int amp = text.indexOf(QLatin1Char('&'));
    if (amp >= 0 && amp + 1 < text.size()) used.insert(text.at(amp + 1).toUpper());
  }
  for (QAction* entry : entries) {
    QString text = entry->text();
    if (entry->isSeparator() || text.contains(QLatin1Char('&'))) continue;
    for (int i = 0; i < text.size(); ++i) {
      const QChar c = text.at(i).toUpper();
      if (c.isLetterOrNumber() && !used.contains(c)) {
        used.insert(c);
        entry->setText(text.insert(i, QLatin1Char('&')));
        break;
      }
    }
  }
}

QToolButton* MakeToolButton(QWidget* bar, const QString& name, int left) {
  auto* button = new QToolButton(bar);
  button->setObjectName(name);
  button->setAutoRaise(true);
  button->setToolButtonStyle(Qt::ToolButtonIconOnly);
  button->setIconSize(QSize(Artwork::ToolSize, Artwork::ToolSize));
  button->setFocusPolicy(Qt::NoFocus);
  button->setGeometry(left, 0, 34, 30);
  return button;
}

QAction* MakeAction(QObject* owner, const QString& name, const QString& caption,
                    const QString& hint, int image) {
  auto* action = new QAction(caption, owner);
  action->setObjectName(name);
  action->setToolTip(hint.isEmpty() ? caption : hint);
  action->setStatusTip(hint);
  action->setIcon(Artwork::ToolIcon(image));
  action->setIconVisibleInMenu(true);
  action->setProperty("ImageIndex", image);
  return action;
}

// A menu's own action: no picture, its hint in the status bar only.
QAction* MakeMenuAction(QObject* owner, const QString& name, const QString& caption,
                        const QString& hint = {}) {
  auto* action = new QAction(caption, owner);
  action->setObjectName(name);
  if (!hint.isEmpty()) action->setStatusTip(hint);
  return action;
}

}  // namespace

void TfrmCodFis::CreateActions() {
  actCalcola = MakeAction(this, QStringLiteral("actCalcola"), QStringLiteral("Calcola"),
                          QStringLiteral("Calcola il codice fiscale"), 0);
  actAzzera = MakeAction(this, QStringLiteral("actAzzera"), QStringLiteral("Azzera"),
                         QStringLiteral("Azzera tutti i dati"), 9);
  actEsci = MakeAction(this, QStringLiteral("actEsci"), QStringLiteral("Esci"),
                       QStringLiteral("Esci dal programma"), 6);
  actAggiornaComuni = MakeMenuAction(
      this, QStringLiteral("actAggiornaComuni"), QStringLiteral("Aggiorna elenco comuni..."),
      QStringLiteral("Aggiorna l'elenco dei comuni dall'archivio dell'anagrafe nazionale"));
  actCalcolaElenco =
      MakeMenuAction(this, QStringLiteral("actCalcolaElenco"), QStringLiteral("Calcola elenco..."),
                     QStringLiteral("Calcola il codice fiscale di ogni persona di un elenco"));
  actControllaElenco = MakeMenuAction(this, QStringLiteral("actControllaElenco"),
                                      QStringLiteral("Controlla elenco..."),
                                      QStringLiteral("Controlla i codici fiscali di un elenco"));
  actEsportaArchivio = MakeMenuAction(
      this, QStringLiteral("actEsportaArchivio"), QStringLiteral("Es&porta archivio..."),
      QStringLiteral("Salva l'archivio come elenco da aprire con un foglio di calcolo"));
  actCercaArchivio = MakeMenuAction(
      this, QStringLiteral("actCercaArchivio"), QStringLiteral("Cerca nell'archivio..."),
      QStringLiteral("Cerca una persona nell'archivio per cognome, nome, codice o data"));
  actCercaArchivio->setShortcut(QKeySequence::Find);
  // The grid's own: Ctrl+C and its context menu.
  actCopiaCodice =
      MakeMenuAction(this, QStringLiteral("actCopiaCodice"), QStringLiteral("Copia codice"));
  actCopiaCodice->setShortcut(QKeySequence::Copy);
  actCopiaCodice->setShortcutContext(Qt::WidgetShortcut);
  actCopiaRiga = MakeMenuAction(this, QStringLiteral("actCopiaRiga"), QStringLiteral("Copia riga"));
  actOrdineArchivio = MakeMenuAction(this, QStringLiteral("actOrdineArchivio"),
                                     QStringLiteral("Ordine dell'archivio"));
  actFirst = MakeAction(this, QStringLiteral("actFirst"), QStringLiteral("Primo"), {}, 1);
  actPrev = MakeAction(this, QStringLiteral("actPrev"), QStringLiteral("Precedente"), {}, 2);
  actNext = MakeAction(this, QStringLiteral("actNext"), QStringLiteral("Successivo"), {}, 3);
  actLast = MakeAction(this, QStringLiteral("actLast"), QStringLiteral("Ultimo"), {}, 4);
  actDelete = MakeAction(this, QStringLiteral("actDelete"), QStringLiteral("Elimina"), {}, 5);

  DataSetFirst1 = new TDataSetFirst(this);
  DataSetPrior1 = new TDataSetPrior(this);
  DataSetNext1 = new TDataSetNext(this);
  DataSetLast1 = new TDataSetLast(this);
  DataSetDelete1 = new TDataSetDelete(this);
  // Captions and hints come with the classes; the window adds the pictures.
  const struct {
    TDataSetAction* action;
    const char* name;
    int image;
  } records[] = {
      {DataSetFirst1, "DataSetFirst1", 1},   {DataSetPrior1, "DataSetPrior1", 2},
      {DataSetNext1, "DataSetNext1", 3},     {DataSetLast1, "DataSetLast1", 4},
      {DataSetDelete1, "DataSetDelete1", 5},
  };
  for (const auto& r : records) {
    r.action->setObjectName(QString::fromLatin1(r.name));
    r.action->setIcon(Artwork::ToolIcon(r.image));
    r.action->setIconVisibleInMenu(true);
    r.action->setProperty("ImageIndex", r.image);
    r.action->SetDataSource(DataSource2);
    r.action->SetPrompter(&prompter_);
  }
  DataSetDelete1->setEnabled(false);
  DataSetDelete1->SetOnExecute([this] { DataSetDelete1Execute(); });
}

void TfrmCodFis::CreateCoolBar(QWidget* client) {
  CoolBar1 = new QWidget(client);
  CoolBar1->setObjectName(QStringLiteral("CoolBar1"));
  CoolBar1->setGeometry(0, 0, 345, 36);
  auto* texture = new TJvFormWallpaper(CoolBar1);
  texture->setObjectName(QStringLiteral("CoolBarTexture"));

  const auto makeBar = [this](const QString& name, int left, int width) {
    auto* bar = new QWidget(CoolBar1);
    bar->setObjectName(name);
    bar->setGeometry(left, 0, width, 32);
    return bar;
  };
  ToolBar4 = makeBar(QStringLiteral("ToolBar4"), 9, 185);
  ToolBar1 = makeBar(QStringLiteral("ToolBar1"), 196, 107);
  ToolBar3 = makeBar(QStringLiteral("ToolBar3"), 305, 45);

  auto* hintsOff = new HintsOff(this);
  const struct {
    QToolButton** button;
    const char* name;
    int left;
    QAction* action;
  } navigation[] = {
      {&ToolButton6, "ToolButton6", 0, DataSetFirst1},
      {&ToolButton7, "ToolButton7", 34, DataSetPrior1},
      {&ToolButton9, "ToolButton9", 68, DataSetNext1},
      {&ToolButton10, "ToolButton10", 102, DataSetLast1},
      {&ToolButton13, "ToolButton13", 136, DataSetDelete1},
  };
  for (const auto& n : navigation) {
    *n.button = MakeToolButton(ToolBar4, QString::fromLatin1(n.name), n.left);
    (*n.button)->setDefaultAction(n.action);
    (*n.button)->installEventFilter(hintsOff);
  }
  ToolButton1 = MakeToolButton(ToolBar1, QStringLiteral("ToolButton1"), 0);
  ToolButton1->setDefaultAction(actCalcola);
  ToolButton2 = MakeToolButton(ToolBar1, QStringLiteral("ToolButton2"), 34);
  ToolButton2->setDefaultAction(actAzzera);

  // Not bound to actEsci: it carries its own caption, hint and picture and is
  // never disabled.
  ToolButton8 = MakeToolButton(ToolBar3, QStringLiteral("ToolButton8"), 0);
  ToolButton8->setText(QStringLiteral("Esci"));
  ToolButton8->setToolTip(QStringLiteral("Esci dal programma"));
  ToolButton8->setIcon(Artwork::ToolIcon(6));
  ToolButton8->setProperty("ImageIndex", 6);
}

void TfrmCodFis::CreateMenu() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  File1 = bar->addMenu(QStringLiteral("&File"));
  File1->setObjectName(QStringLiteral("File1"));
  File1->addAction(actCalcolaElenco);
  File1->addAction(actControllaElenco);
  File1->addAction(actEsportaArchivio);
  File1->addSeparator();
  File1->addAction(actAggiornaComuni);
  File1->addSeparator();
  File1->addAction(actEsci);
  Modifica1 = bar->addMenu(QStringLiteral("&Modifica"));
  Modifica1->setObjectName(QStringLiteral("Modifica1"));
  Modifica1->addAction(actCalcola);
  Modifica1->addAction(actAzzera);
  Modifica1->addAction(actCercaArchivio);
  Records1 = bar->addMenu(QStringLiteral("Records"));
  Records1->setObjectName(QStringLiteral("Records1"));
  Records1->addAction(DataSetFirst1);
  Records1->addAction(DataSetPrior1);
  Records1->addAction(DataSetNext1);
  Records1->addAction(DataSetLast1);
  Records1->addSeparator()->setObjectName(QStringLiteral("N3"));
  Records1->addAction(DataSetDelete1);
  N2 = bar->addMenu(QStringLiteral("&?"));
  N2->setObjectName(QStringLiteral("N2"));
  auto* menuStyle = new MenuIconStyle(Artwork::ToolSize);
  menuStyle->setParent(bar);
  for (QMenu* menu : {File1, Modifica1, Records1, N2}) {
    menu->setStyle(menuStyle);
    connect(menu, &QMenu::aboutToShow, menu, [menu] { GiveMnemonics(menu); });
  }
}
