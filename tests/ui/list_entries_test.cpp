// "Calcola elenco..." and "Controlla elenco..." in the window, the files given
// in place of the dialogs: the command line's bytes, nothing left when stopped.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <chrono>
#include <thread>

#include "lists/list_run.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/message_box.h"

namespace {

QStringList FilesIn(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

void GiveFiles(TfrmCodFis& w, const QString& input, const QString& output) {
  w.PickListFile = [input](QWidget*, const QString&) { return input; };
  w.PickListOutput = [output](QWidget*, const QString&, const QString& proposed) {
    return output.isEmpty() ? proposed : output;
  };
}

}  // namespace

TEST_F(ShippedPlacesTest, EachListEntryWritesWhatTheCommandLineWrites) {
  Write("elenco.csv",
        "Codice fiscale;Cognome;Nome;Sesso;Data di nascita;Luogo di nascita\n"
        "RSSMRA75C15F402O;Rossi;Mario;M;15/03/1975;Montalcino\n"
        "RSSMRA75C15F402X;Forl\xEC;Fran\xE7ois;M;1975-03-15;Forl\xEC\n"
        ";Bianchi;Anna;F;31/02/1980;Roma\n");
  TfrmCodFis& w = Start();
  for (const auto& [action, command, mark] :
       {std::tuple{w.actCalcolaElenco, "lotto", "-codici"},
        std::tuple{w.actControllaElenco, "controlla", "-controllo"}}) {
    SCOPED_TRACE(command);
    const QString output = QStringLiteral("elenco%1.csv").arg(QLatin1String(mark));
    GiveFiles(w, Path("elenco.csv"), QString());
    MessageBoxScript answerer;
    action->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(answerer.seen().size(), 1u, 10000);

    QProcess cli;
    cli.start(QStringLiteral(VIVEZECF),
              {QLatin1String(command), Path("elenco.csv"), QStringLiteral("-o"), Path("cli.csv")});
    ASSERT_TRUE(cli.waitForFinished(10000));
    EXPECT_EQ(answerer.seen()[0].icon, MessageBoxScript::Icon::Information);
    EXPECT_EQ(answerer.seen()[0].text + QLatin1Char('\n'),
              QString::fromUtf8(cli.readAllStandardError()));
    EXPECT_EQ(Read(output), Read("cli.csv"));
    EXPECT_TRUE(w.actCalcolaElenco->isEnabled());
  }
}

// The rows wait after the first until the list is stopped: by Cancel, or by
// closing the window and answering Yes.
TEST_F(MainWindowTest, AStoppedListLeavesNoFileBehind) {
  Write("elenco.csv",
        "Cognome,Nome,Sex,Comune,Data\nRossi,Mario,M,Roma,15/03/1975\n"
        "Verdi,Anna,F,Roma,15/03/1975\n");
  for (const bool byClosing : {false, true}) {
    SCOPED_TRACE(byClosing ? "closing" : "Cancel");
    TfrmCodFis& w = Start();
    GiveFiles(w, Path("elenco.csv"), Path("codici.csv"));
    w.WatchList = [](ListWatch& watch) {
      watch.progress = [cancel = watch.cancel, told = watch.progress](long rows) {
        told(rows);
        while (!cancel->load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      };
    };
    MessageBoxScript answerer;
    const QStringList before = FilesIn(Path("."));
    w.actCalcolaElenco->trigger();
    QProgressDialog* progress = w.findChild<QProgressDialog*>();
    ASSERT_NE(progress, nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(progress->isVisible(), 5000);
    QTRY_COMPARE(progress->labelText(), QStringLiteral("Righe elaborate: 1"));
    if (byClosing) {
      answerer.ThenYes();
      EXPECT_TRUE(w.close());
      ASSERT_EQ(answerer.seen().size(), 1u);
      EXPECT_EQ(answerer.seen()[0].text,
                QStringLiteral("Interrompere l'elaborazione dell'elenco?"));
    } else {
      progress->findChild<QPushButton*>()->click();
      QTRY_VERIFY(w.actCalcolaElenco->isEnabled());
      EXPECT_TRUE(answerer.seen().empty());
    }
    EXPECT_EQ(w.findChild<QProgressDialog*>(), nullptr);
    EXPECT_EQ(FilesIn(Path(".")), before);
  }
}

TEST_F(MainWindowTest, AListThatCannotBeReadIsToldInAWarning) {
  TfrmCodFis& w = Start();
  GiveFiles(w, Path("assente.csv"), QString());
  MessageBoxScript answerer;
  const QStringList before = FilesIn(Path("."));
  w.actControllaElenco->trigger();
  QTRY_COMPARE(answerer.seen().size(), 1u);
  EXPECT_EQ(answerer.seen()[0].icon, MessageBoxScript::Icon::Warning);
  EXPECT_EQ(answerer.seen()[0].text, QStringLiteral("Impossibile leggere il file: ") +
                                         QDir::toNativeSeparators(Path("assente.csv")));
  EXPECT_EQ(FilesIn(Path(".")), before);
}
