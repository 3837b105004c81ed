// The main window's frame: its making and start-up, the bindings of its
// events, the tabs' switch and the exit. Each tab's handlers live in a file
// of their own (tfrm_cod_fis_calculation.cpp, _archive.cpp, _check.cpp,
// _lists.cpp, _place_update.cpp); they read the controls, ask storage, and
// show what comes back; the rules live in storage.
#include "ui/tfrm_cod_fis.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <optional>

#include "storage/setup/archive_choice.h"
#include "ui/list_job.h"
#include "widgets/byte_list_model.h"
#include "widgets/byte_text.h"
#include "widgets/tdata_set_action.h"
#include "widgets/tdb_text.h"
#include "widgets/trx_db_grid.h"

TfrmCodFis::TfrmCodFis(const QString& dataFolder, QWidget* parent, DataFileReadAhead* readAhead)
    : QMainWindow(parent), dataFolder_(dataFolder), readAhead_(readAhead) {
  CreateComponents();
  archive_ = MakeArchive(LbCsv2);
  BindEvents();
  // A failed write-through is told once; the archive stays in memory and the
  // next change or the exit tries again.
  // A server out of reach is a warning: what was added waits for it.
  archive_->SetErrorHandler([this](const std::exception& error) {
    if (dynamic_cast<const ArchiveUnreachable*>(&error) != nullptr) {
      MessageBoxes::Warning(this, QString::fromUtf8(error.what()));
    } else {
      MessageBoxes::Error(this, error);
    }
  });
  // Other desks' changes, asked of the archive a few times a second (it
  // never waits); not while a delete is being confirmed, whose record must
  // stay the one asked about.
  auto* live = new QTimer(this);
  live->setObjectName(QStringLiteral("ArchiveRefresh"));
  connect(live, &QTimer::timeout, this, [this] {
    if (confirmationsWaiting_ == 0) archive_->Refresh();
  });
  live->start(250);
  // Another desk holding the archive: the user is asked, and the window
  // keeps painting while the lock is waited for.
  archive_->SetBusyHandler([this](const ArchiveBusy& busy) {
    return MessageBoxes::WarningQuestion(
        this, QString::fromUtf8(busy.what()) + QStringLiteral(". Riprovare?"));
  });
  archive_->SetLockWait(
      [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
  archive_->SetNoticeHandler([this](const std::string& text) {
    MessageBoxes::Information(this, QString::fromUtf8(text));
  });
  Guarded([this] { FormCreate(); });
}

TfrmCodFis::~TfrmCodFis() {
  // Closed while its rules are still there to write it back under the lock;
  // nobody is asked anything while the window goes.
  archive_->SetBusyHandler(nullptr);
  archive_->SetLockWait(nullptr);
  try {
    archive_->Close();
  } catch (const std::exception&) {
    // Every record was written through when it changed.
  }
  // Views go before the tables they watch.
  delete RxDBGrid1;
  delete DBText1;
  delete DataSource1;
  delete DataSource2;
}

void TfrmCodFis::BindEvents() {
  const auto bind = [this](QAction* action, void (TfrmCodFis::*handler)()) {
    connect(action, &QAction::triggered, this,
            [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
  };
  bind(actCalcola, &TfrmCodFis::actCalcolaExecute);
  bind(actAzzera, &TfrmCodFis::actAzzeraExecute);
  bind(actEsci, &TfrmCodFis::actEsciExecute);
  bind(actAggiornaComuni, &TfrmCodFis::actAggiornaComuniExecute);
  bind(actCalcolaElenco, &TfrmCodFis::actCalcolaElencoExecute);
  bind(actControllaElenco, &TfrmCodFis::actControllaElencoExecute);
  bind(actEsportaArchivio, &TfrmCodFis::actEsportaArchivioExecute);
  bind(actCercaArchivio, &TfrmCodFis::actCercaArchivioExecute);
  bind(actCopiaCodice, &TfrmCodFis::actCopiaCodiceExecute);
  bind(actCopiaRiga, &TfrmCodFis::actCopiaRigaExecute);
  connect(actOrdineArchivio, &QAction::triggered, RxDBGrid1, &TRxDBGrid::ShowTableOrder);
  bind(actFirst, &TfrmCodFis::actFirstExecute);
  bind(actPrev, &TfrmCodFis::actPrevExecute);
  bind(actNext, &TfrmCodFis::actNextExecute);
  bind(actLast, &TfrmCodFis::actLastExecute);
  bind(actDelete, &TfrmCodFis::actDeleteExecute);
  connect(ToolButton8, &QToolButton::clicked, this,
          [this] { Guarded([this] { actEsciExecute(); }); });
  connect(ComboBox1, &QComboBox::activated, this,
          [this] { Guarded([this] { ComboBox1Click(); }); });
  connect(PageControl1, &QTabWidget::currentChanged, this,
          [this] { Guarded([this] { PageControl1Change(); }); });
  connect(RxDBGrid1, &TRxDBGrid::CellClick, this,
          [this](int column) { Guarded([this, column] { RxDBGrid1CellClick(column); }); });
  connect(RxDBGrid1, &TRxDBGrid::DblClick, this,
          [this] { Guarded([this] { RxDBGrid1DblClick(); }); });
  // Ctrl+Delete in the grid deletes as the delete action does, through the
  // archive, which writes it through.
  RxDBGrid1->SetRecordDeleter([this] { archive_->DeleteCurrent(); });
  BindCheckTab();
}

void TfrmCodFis::FormCreate() {
  ComboBox1->clear();
  ComboBox1->setEditText(QString());

  // Storage takes paths in UTF-8 and decides where an installed program keeps them.
  paths_ = dataFolder_.isEmpty()
               ? LocateDataFiles()
               : WithNewerPlaceTable(MakeDataFilePaths(
                     QDir::toNativeSeparators(dataFolder_).toUtf8().toStdString()));
  std::optional<std::string> unreachable;
  try {
    OpenArchiveAndPlaces(*archive_, paths_, LbCsv1, std::exchange(readAhead_, nullptr));
  } catch (const ArchiveUnreachable& away) {
    unreachable = away.what();
  }
  DBText1->CheckField();

  placeNames_->SetValues(places_.Names());
  LbCsv1.Last();  // where filling the list from the table leaves it

  actAzzeraExecute();
  // Codes are still computed; what is archived waits for the server.
  if (unreachable) MessageBoxes::Warning(this, QString::fromUtf8(*unreachable));
}

void TfrmCodFis::PageControl1Change() {
  QWidget* shown = PageControl1->currentWidget();
  DataSetDelete1->setEnabled(shown == TabSheet2);
  actCalcola->setEnabled(shown == TabSheet1);
  actAzzera->setEnabled(shown == TabSheet1);
}

bool TfrmCodFis::CloseTables() {
  LbCsv1.Close();
  try {
    archive_->Close();
  } catch (const std::exception& error) {
    MessageBoxes::Error(this, error);
    if (MessageBoxes::Question(this, QStringLiteral("Confirm"),
                               QStringLiteral("Impossibile salvare l'archivio. Uscire comunque? "
                                              "Le modifiche andranno perse."))) {
      // Asked once: the window closes without trying again.
      LbCsv2.Discard();
      return true;
    }
    // Staying on: the archive is still open in memory; the municipalities
    // come back so the window keeps working.
    Guarded([this] { LbCsv1.Open(); });
    return false;
  }
  return true;
}

void TfrmCodFis::actEsciExecute() {
  if (!StopListBeforeClosing() || !CloseTables()) return;
  close();
}

void TfrmCodFis::closeEvent(QCloseEvent* event) {
  if (confirmationsWaiting_ > 0) {
    // Carried out once the pending confirmation has been answered.
    closeRequested_ = true;
    event->ignore();
    return;
  }
  if (!StopListBeforeClosing()) {
    event->ignore();
    return;
  }
  if (LbCsv2.Active() && !CloseTables()) {
    event->ignore();
    return;
  }
  event->accept();
}

void TfrmCodFis::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (placed_) return;
  placed_ = true;
  // Another screen may have another pixel density.
  if (QWindow* window = windowHandle()) {
    connect(window, &QWindow::screenChanged, this, &TfrmCodFis::RenderArtwork);
    RenderArtwork();
  }
  if (QScreen* screen = this->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  PageControl1->tabBar()->setFocus(Qt::ActiveWindowFocusReason);
}
