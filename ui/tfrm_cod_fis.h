// The main window TfrmCodFis.
#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "storage/archive/archive.h"
#include "storage/places/places.h"
#include "storage/setup/data_files.h"
#include "storage/table/tlb_csv.h"
#include "ui/message_box.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class ByteListModel;
class ListJob;
class QProgressDialog;
class QTimer;
struct ListOutcome;
struct ListWatch;
class QCompleter;
class DataFileReadAhead;
class QTabWidget;
class QToolButton;
class QWidget;
class TActionUpdater;
class TCodeParts;
class TDataSetDelete;
class TDataSetFirst;
class TDataSetLast;
class TDataSetNext;
class TDataSetPrior;
class TDataSource;
class TDateTimePicker;
class TDBText;
class TJvHotLink;
class TJvLabel;
class TJvStatusBar2;
class TRxDBGrid;
class TfrmCerca;

// The main window: the calculation tab over the picture of a fiscal-code
// card, the archive tab with its grid, the tool bars, menus and status bar.
// Handlers throw; the event bindings run them inside the error guard.
class TfrmCodFis : public QMainWindow {
  Q_OBJECT

 public:
  // `dataFolder` holds comuni.dat and archivio.dat; empty means the
  // executable's folder, or the installed and the user's data folders. The
  // files `readAhead` read while the window was being built are opened from
  // what it read.
  explicit TfrmCodFis(const QString& dataFolder = QString(), QWidget* parent = nullptr,
                      DataFileReadAhead* readAhead = nullptr);
  ~TfrmCodFis() override;

  // Handlers of the calculation tab and the exit.
  void FormCreate();
  void ComboBox1Click();
  void CognomeEnter();
  void CognomeExit();
  void NomeEnter();
  void NomeExit();
  void actCalcolaExecute();
  void actAzzeraExecute();
  void actEsciExecute();
  // Updates the place table from the registry's file the user picks and
  // reads it at once.
  void actAggiornaComuniExecute();
  // Asks for the registry's file; empty when the user gives none. A file
  // dialog unless a test puts something else here.
  std::function<QString(QWidget* parent)> PickRegistryFile;
  // A whole list, its codes computed or checked, on a thread of its own
  // while a progress dialog counts the rows; the summary or the reason in a
  // box at the end.
  void actCalcolaElencoExecute();
  void actControllaElencoExecute();
  // Ask for the list and for the file the result goes to, `proposed` beside
  // the list; empty when the user gives none. File dialogs unless a test
  // puts something else here.
  std::function<QString(QWidget* parent, const QString& caption)> PickListFile;
  std::function<QString(QWidget* parent, const QString& caption, const QString& proposed)>
      PickListOutput;
  // Given the list's watch before it starts, on the list's thread: a test
  // makes the rows wait here.
  std::function<void(ListWatch& watch)> WatchList;
  // Computes with `place` (the municipality shown, as it was on the birth
  // date), copies, archives and tells.
  // `nearby`: the place's code was not in use on the birth date, as the
  // user agreed; the "Information" box says so.
  std::string CalculateAndArchive(const PlaceRecord& place, bool nearby = false);
  bool CodeInArchive(const std::string& code);

  // Handlers of the archive tab.
  void RxDBGrid1CellClick(int column);
  void RxDBGrid1DblClick();
  void PageControl1Change();
  void DataSetDelete1Execute();
  void actFirstExecute();
  void actPrevExecute();
  void actNextExecute();
  void actLastExecute();
  void actDeleteExecute();
  // The find window over the archive, opened on the archive tab.
  void actCercaArchivioExecute();
  // The current record's code, and its row as the file writes it, to the
  // clipboard.
  void actCopiaCodiceExecute();
  void actCopiaRigaExecute();
  // The archive written for a spreadsheet, as `vivezecf archivio esporta`
  // writes it, on a thread of its own while the list's dialog counts.
  void actEsportaArchivioExecute();
  // Asks for the file the archive is exported to; empty when the user gives
  // none. A file dialog unless a test puts something else here.
  std::function<QString(QWidget* parent, const QString& proposed)> PickExportFile;

  // Handler of the code-check tab.
  void edtCodiceChange();

  // Non-visual components.
  TLbCsv LbCsv1{"LbCsv1"};
  TLbCsv LbCsv2{"LbCsv2"};
  TDataSource* DataSource1;
  TDataSource* DataSource2;

  // Controls, by their designed names.
  QWidget* CoolBar1;
  QWidget* ToolBar4;
  QWidget* ToolBar1;
  QWidget* ToolBar3;
  QToolButton* ToolButton6;
  QToolButton* ToolButton7;
  QToolButton* ToolButton9;
  QToolButton* ToolButton10;
  QToolButton* ToolButton13;
  QToolButton* ToolButton1;
  QToolButton* ToolButton2;
  QToolButton* ToolButton8;
  QTabWidget* PageControl1;
  QWidget* TabSheet1;
  QWidget* TabSheet2;
  QWidget* TabSheet3;
  QLineEdit* edtCodice;
  QLabel* labEsito;
  TCodeParts* codeParts;
  QLabel* labDettagli;
  QLabel* labDati;  // the calculation tab's person a code is compared with
  QWidget* Panel1;
  QLabel* Image1;
  QLabel* Label6;
  QLineEdit* Cognome;
  QLineEdit* Nome;
  QComboBox* ComboBox1;
  TDateTimePicker* DateTimePicker1;
  QRadioButton* RadioButton1;
  QRadioButton* RadioButton2;
  TDBText* DBText1;
  TRxDBGrid* RxDBGrid1;
  TJvStatusBar2* JvStatusBar21;
  TJvLabel* JvLabel1;
  TJvLabel* JvLabel2;
  TJvHotLink* JvHotLink1;

  // Menus.
  QMenu* File1;
  QMenu* Modifica1;
  QMenu* Records1;
  QMenu* N2;

  // Actions.
  QAction* actCalcola;
  QAction* actAzzera;
  QAction* actEsci;
  QAction* actAggiornaComuni;
  QAction* actCalcolaElenco;
  QAction* actControllaElenco;
  QAction* actEsportaArchivio;
  QAction* actCercaArchivio;
  QAction* actCopiaCodice;
  QAction* actCopiaRiga;
  QAction* actOrdineArchivio;
  QAction* actFirst;
  QAction* actPrev;
  QAction* actNext;
  QAction* actLast;
  QAction* actDelete;
  TDataSetFirst* DataSetFirst1;
  TDataSetPrior* DataSetPrior1;
  TDataSetNext* DataSetNext1;
  TDataSetLast* DataSetLast1;
  TDataSetDelete* DataSetDelete1;

  // The find window, once opened.
  TfrmCerca* frmCerca = nullptr;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateComponents();
  void CreateActions();
  void CreateCoolBar(QWidget* client);
  void CreateCalculationTab();
  void CreateArchiveTab();
  void CreateCheckTab();
  void BindCheckTab();
  void NameControls();
  // Renders the pictures at the device pixel ratio of the window's screen.
  void RenderArtwork();
  void CreateStatusBar(QWidget* client);
  void CreateMenu();
  void BindEvents();

  template <class Handler>
  void Guarded(Handler&& handler) {
    MessageBoxes::Guard(std::forward<Handler>(handler), this);
  }
  void ConfirmAndDelete(const QString& question);
  CalendarDate PickerDate() const;
  // The municipality shown, as it was on `born`.
  PlaceLookup LookUpMunicipality(const CalendarDate& born);
  // Puts the place table's cursor where the lookup leaves it and the
  // Provincia label on the answer's province.
  void ShowMunicipality(const PlaceLookup& lookup);
  // Offers the places the text being typed may stand for.
  void SuggestPlaces(QCompleter* completer, const QString& typed);
  // Closes both tables; false when the archive could not be saved and the
  // user chose to stay.
  bool CloseTables();
  void StartList(bool check);
  // Runs `work` as a list, its dialog captioned `caption`, its result in
  // `output`.
  void StartListJob(const QString& caption, std::function<ListOutcome(const ListWatch&)> work,
                    const QString& output);
  void ListProgress();
  void ListFinished();
  // Asks whether to stop the list that runs and stops it; false when the
  // user lets it run.
  bool StopListBeforeClosing();
  // The job, its dialog and clock gone; the entries usable again.
  void DropList();

  // The rules on the two tables, and what the widgets ask and report through.
  // In the file, or in the database VIVEZE_ARCHIVIO names.
  std::unique_ptr<Archive> archive_;
  Places places_{LbCsv1};
  MessageBoxPrompter prompter_;
  QString dataFolder_;
  DataFilePaths paths_;                     // the files opened
  DataFileReadAhead* readAhead_ = nullptr;  // only for the first opening
  TActionUpdater* updater_;
  // The drop-down's names, filled in one step, and the suggestions for the
  // text being typed.
  ByteListModel* placeNames_;
  ByteListModel* placeSuggestions_;
  // The list that runs, its dialog and the dialog's clock; none when idle.
  std::unique_ptr<ListJob> listJob_;
  QProgressDialog* listProgress_ = nullptr;
  QTimer* listClock_ = nullptr;
  QString listOutput_;
  int confirmationsWaiting_ = 0;
  bool closeRequested_ = false;
  bool placed_ = false;
};
