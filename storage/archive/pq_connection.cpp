#include "storage/archive/pq_connection.h"

#include <cstdlib>
#include <memory>
#include <regex>

#ifdef _WIN32
#include "storage/files/windows_api.h"
#endif

namespace {

// The 8-bit text the rest of the program holds, as the server names it.
std::string ClientEncoding() {
#ifdef _WIN32
  return "WIN" + std::to_string(GetACP());
#else
  return "UTF8";
#endif
}

}  // namespace

PqConnection::PqConnection(std::string conninfo, std::string* label)
    : pq_(PqLibrary::Get()), conninfo_(std::move(conninfo)), secrets_(conninfo_) {
  char* error = nullptr;
  if (PqLibrary::ConnInfoOption* options = pq_.conninfoParse(conninfo_.c_str(), &error)) {
    for (PqLibrary::ConnInfoOption* option = options; option->keyword != nullptr; ++option) {
      if (std::string(option->keyword) == "password" && option->val != nullptr) {
        secrets_.Add(option->val);
      }
    }
    pq_.conninfoFree(options);
  } else {
    // libpq's own words on the string; it repeats no value from it.
    std::string why = error != nullptr ? error : "stringa di connessione non valida";
    if (error != nullptr) pq_.freemem(error);
    throw ArchiveUnreachable("Archivio non raggiungibile: " + Safe(why));
  }
  try {
    Connect();
  } catch (...) {
    if (label != nullptr && conn_ != nullptr) *label = Label();
    // No destructor runs for a connection never made.
    if (conn_ != nullptr) pq_.finish(conn_);
    throw;
  }
  if (label != nullptr) *label = Label();
}

std::string PqConnection::Label() const {
  const char* database = pq_.db(conn_);
  if (database == nullptr || *database == '\0') return {};
  std::string host = pq_.host(conn_) != nullptr ? pq_.host(conn_) : "";
  std::string port = pq_.port(conn_) != nullptr ? pq_.port(conn_) : "";
  // PQhost and PQport name the host tried last, or the one that answered.
  if (PqLibrary::ConnInfoOption* options = pq_.conninfo(conn_)) {
    for (PqLibrary::ConnInfoOption* option = options; option->keyword != nullptr; ++option) {
      const std::string keyword = option->keyword;
      const std::string value = option->val != nullptr ? option->val : "";
      if (value.find(',') == std::string::npos) continue;
      if (keyword == "host") host = value;
      if (keyword == "port") port = value;
    }
    pq_.conninfoFree(options);
  }
  return database + ("@" + host) + ":" + port;
}

PqConnection::~PqConnection() {
  if (conn_ != nullptr) pq_.finish(conn_);
}

void PqConnection::Connect() {
  if (conn_ == nullptr) {
    // A server out of reach holds the window a few seconds, not the system's
    // minutes; the connection string or PGCONNECT_TIMEOUT may say otherwise.
    const char* const keywords[] = {"connect_timeout", "dbname", nullptr};
    const char* const values[] = {"5", conninfo_.c_str(), nullptr};
    const int first = std::getenv("PGCONNECT_TIMEOUT") != nullptr ? 1 : 0;
    conn_ = pq_.connectdbParams(keywords + first, values + first, 1);
  } else {
    pq_.reset(conn_);
  }
  if (conn_ == nullptr) throw ArchiveUnreachable("Archivio non raggiungibile: memoria esaurita");
  // libpq writes the server's notices to the standard error by default: a
  // restart's "terminating connection" would show among a command's
  // output. What matters comes back as the next statement's failure.
  pq_.setNoticeProcessor(
      conn_, [](void*, const char*) {}, nullptr);
  if (pq_.status(conn_) != PqLibrary::kConnectionOk) {
    throw ArchiveUnreachable("Archivio non raggiungibile: " + Safe(pq_.errorMessage(conn_)));
  }
  const std::string encoding = ClientEncoding();
  if (pq_.setClientEncoding(conn_, encoding.c_str()) != 0) {
    throw ArchiveUnreachable("Archivio non raggiungibile: codifica " + encoding + " rifiutata");
  }
  // The archive's statements each touch a few rows by index; the server
  // would compile one whose estimate is large (a log just filled, before it
  // was counted) for longer than running it takes.
  Run("SET jit = off");
  // A new session listens to nothing.
  for (const std::string& channel : channels_) Run(("LISTEN \"" + channel + "\"").c_str());
}

void PqConnection::Listen(const std::string& channel) {
  Run(("LISTEN \"" + channel + "\"").c_str());
  channels_.push_back(channel);
}

bool PqConnection::TakeNotifications() {
  if (pq_.status(conn_) != PqLibrary::kConnectionOk || pq_.consumeInput(conn_) == 0) return false;
  bool any = false;
  while (PqLibrary::Notify* notify = pq_.notifies(conn_)) {
    pq_.freemem(notify);
    any = true;
  }
  return any;
}

std::string PqConnection::Safe(std::string message) const {
  // libpq quotes a connection string it cannot read, password and all.
  static const std::regex uriPassword(R"((://[^:/@\s]*):[^@\s]*@)");
  static const std::regex keyPassword(R"((password\s*=\s*)('([^'\\]|\\.)*'|[^\s&]+))",
                                      std::regex::icase);
  message = std::regex_replace(message, uriPassword, "$1:***@");
  message = std::regex_replace(message, keyPassword, "$1***");
  message = secrets_.Blanked(std::move(message));
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
  return message;
}

PqConnection::ResultPtr PqConnection::Checked(PqLibrary::Result* made) {
  ResultPtr result(made, ResultClear{&pq_});
  const int status = result ? pq_.resultStatus(result.get()) : -1;
  if (status != PqLibrary::kCommandOk && status != PqLibrary::kTuplesOk) {
    // A lost connection is the server out of reach; anything else its refusal.
    if (pq_.status(conn_) != PqLibrary::kConnectionOk) {
      throw ArchiveUnreachable("Archivio non raggiungibile: " + Safe(pq_.errorMessage(conn_)));
    }
    throw TableError("Archivio: " +
                     Safe(result ? pq_.resultErrorMessage(result.get()) : pq_.errorMessage(conn_)));
  }
  return result;
}

std::size_t PqConnection::RunEach(const char* sql, const std::vector<std::string>& params,
                                  const Each& each) {
  if (pq_.status(conn_) != PqLibrary::kConnectionOk) Connect();
  std::vector<const char*> values;
  values.reserve(params.size());
  for (const std::string& param : params) values.push_back(param.c_str());
  const ResultPtr result = Checked(pq_.execParams(conn_, sql, static_cast<int>(values.size()),
                                                  nullptr, values.data(), nullptr, nullptr, 0));
  if (pq_.resultStatus(result.get()) != PqLibrary::kTuplesOk) return 0;
  const int count = pq_.ntuples(result.get());
  const int columns = pq_.nfields(result.get());
  std::vector<std::string_view> row(static_cast<std::size_t>(columns));
  for (int at = 0; at < count; ++at) {
    for (int column = 0; column < columns; ++column) {
      row[static_cast<std::size_t>(column)] = pq_.getvalue(result.get(), at, column);
    }
    each(row);
  }
  return static_cast<std::size_t>(count);
}

std::vector<PqConnection::Row> PqConnection::Run(const char* sql,
                                                 const std::vector<std::string>& params) {
  std::vector<Row> rows;
  RunEach(sql, params, [&rows](const std::vector<std::string_view>& row) {
    rows.emplace_back(row.begin(), row.end());
  });
  return rows;
}

void PqConnection::RunScript(const char* sql) {
  if (pq_.status(conn_) != PqLibrary::kConnectionOk) Connect();
  try {
    Checked(pq_.exec(conn_, sql));
  } catch (const TableError&) {
    // A script that failed midway leaves its transaction open and refusing.
    const ResultPtr ended(pq_.exec(conn_, "ROLLBACK"), ResultClear{&pq_});
    throw;
  }
}

bool PqConnection::Connected() const { return pq_.status(conn_) == PqLibrary::kConnectionOk; }
