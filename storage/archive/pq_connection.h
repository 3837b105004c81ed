// One connection to a PostgreSQL server, through libpq loaded at run time.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "storage/archive/archive.h"
#include "storage/archive/connection_secrets.h"
#include "storage/archive/pq_library.h"

// One connection to a PostgreSQL server, named by a connection string as
// libpq takes it (a URI or key=value pairs); credentials, TLS and the rest
// come from it and from libpq's own files and environment. Text goes both
// ways in the system's 8-bit text, the server converting. Messages never
// hold the password, even one written in the connection string.
class PqConnection {
 public:
  using Row = std::vector<std::string>;

  // Throws ArchiveUnreachable. `label`, when given, is set to the database
  // the connection names, as libpq gives it for the attempt, whether or not
  // it was made: "<database>@<host>:<port>" (a list of hosts or ports as
  // written, the same whichever answers); empty when libpq could not read
  // the connection string.
  explicit PqConnection(std::string conninfo, std::string* label = nullptr);
  ~PqConnection();
  PqConnection(const PqConnection&) = delete;
  PqConnection& operator=(const PqConnection&) = delete;

  // Runs one statement, `params` passed as $1, $2... and never spliced into
  // it; gives the rows it returns, each value as text. A connection lost
  // since the last statement is made again first. Throws ArchiveUnreachable
  // when the server cannot be reached, TableError when it refuses.
  std::vector<Row> Run(const char* sql, const std::vector<std::string>& params = {});
  // The same, each row handed to `each` as it stands in libpq's result, so
  // that a large result is not copied twice; gives the number of rows.
  using Each = std::function<void(const std::vector<std::string_view>& row)>;
  std::size_t RunEach(const char* sql, const std::vector<std::string>& params, const Each& each);
  // Runs a text of several statements, without parameters (a schema).
  void RunScript(const char* sql);
  // Whether the connection still stands, as far as is known without asking
  // the server.
  bool Connected() const;

  // Asks the server to tell of `channel`'s notifications, again after each
  // reconnection.
  void Listen(const std::string& channel);
  // Whether notifications came since the last call; reads only what the
  // server already sent, never waits.
  bool TakeNotifications();

 private:
  void Connect();
  std::string Label() const;
  // The statement's result, checked; Run's failures thrown.
  struct ResultClear {
    const PqLibrary* pq;
    void operator()(PqLibrary::Result* result) const { pq->clear(result); }
  };
  using ResultPtr = std::unique_ptr<PqLibrary::Result, ResultClear>;
  ResultPtr Checked(PqLibrary::Result* result);
  // `message` with the password, where one is in the connection string,
  // blanked out, and the line ends trimmed.
  std::string Safe(std::string message) const;

  const PqLibrary& pq_;
  std::string conninfo_;
  ConnectionSecrets secrets_;
  PqLibrary::Conn* conn_ = nullptr;
  std::vector<std::string> channels_;
};
