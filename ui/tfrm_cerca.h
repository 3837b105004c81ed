// The find window: a person looked up in the archive while the text is typed.
#pragma once

#include <QDialog>
#include <array>

#include "storage/archive/archive_find.h"
#include "storage/table/record_set.h"
#include "storage/table/tlb_csv_observer.h"

class QLabel;
class QLineEdit;
class QPushButton;
class TLbCsv;
class TPrompter;
class TRxDBGrid;

// A small window of the program's own, not modal, over the archive the grid
// shows: as the text is typed the archive's current record moves to the
// first record it finds, in the order the grid shows them; "Successivo"
// (F3, Enter) and "Precedente" (Shift+F3) go through the others; the count
// reads "3 di 37". The record found is shown whole. The rules of the find
// are storage's (ArchiveFind); the window reads the field and shows.
class TfrmCerca : public QDialog {
  Q_OBJECT

 public:
  TfrmCerca(TLbCsv& table, TRxDBGrid& grid, TPrompter* prompter, ArchiveTextToUtf8 toUtf8,
            QWidget* parent);

  QLineEdit* edtCerca;
  QLabel* labConteggio;
  QPushButton* btnPrecedente;
  QPushButton* btnSuccessivo;
  // Surname, name, sex, birth date, place and code of the record found.
  std::array<QLabel*, 6> labRecord;

  // The find's orders made, or caught up with the archive, under the wait
  // cursor: the wait comes when the window opens, not at a key typed.
  void Prepare();
  // The text searched again, the first record found made current.
  void Cerca();
  void Successivo();
  void Precedente();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // The table told the grid something: what was found is found again
  // after a change, and what is shown follows the current record.
  void TableEvent(TDataEvent event);
  void Step(bool forward);
  void ShowFound();

  TLbCsv& table_;
  TRxDBGrid& grid_;
  TPrompter* prompter_;
  ArchiveFind find_;
  RecordSet found_;
  bool searching_ = false;
};
