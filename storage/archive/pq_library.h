// libpq loaded when the database archive is first used.
#pragma once

#include <string>

// libpq, the PostgreSQL client library, loaded when the database archive is
// first used: a desk without a server needs no libpq and starts as fast as
// without one. Only the few calls the archive makes, declared here as the
// library exports them (its own header is not needed to build).
struct PqLibrary {
  struct Conn;
  struct Result;
  struct Notify;
  // As libpq's PQconninfoOption.
  struct ConnInfoOption {
    char* keyword;
    char* envvar;
    char* compiled;
    char* val;
    char* label;
    char* dispchar;
    int dispsize;
  };
  // The values of libpq's ConnStatusType and ExecStatusType that are used.
  static constexpr int kConnectionOk = 0;
  static constexpr int kCommandOk = 1;
  static constexpr int kTuplesOk = 2;
  static constexpr int kResultSqlState = 'C';

  Conn* (*connectdbParams)(const char* const* keywords, const char* const* values,
                           int expandDbname);
  int (*status)(const Conn* conn);
  char* (*errorMessage)(const Conn* conn);
  void (*finish)(Conn* conn);
  void (*reset)(Conn* conn);
  int (*setClientEncoding)(Conn* conn, const char* encoding);
  using NoticeProcessor = void (*)(void* arg, const char* message);
  NoticeProcessor (*setNoticeProcessor)(Conn* conn, NoticeProcessor processor, void* arg);
  Result* (*exec)(Conn* conn, const char* command);
  Result* (*execParams)(Conn* conn, const char* command, int nParams, const unsigned* paramTypes,
                        const char* const* paramValues, const int* paramLengths,
                        const int* paramFormats, int resultFormat);
  int (*resultStatus)(const Result* result);
  char* (*resultErrorMessage)(const Result* result);
  char* (*resultErrorField)(const Result* result, int fieldcode);
  int (*ntuples)(const Result* result);
  int (*nfields)(const Result* result);
  char* (*getvalue)(const Result* result, int row, int column);
  void (*clear)(Result* result);
  char* (*db)(const Conn* conn);
  char* (*host)(const Conn* conn);
  char* (*port)(const Conn* conn);
  ConnInfoOption* (*conninfo)(Conn* conn);
  ConnInfoOption* (*conninfoParse)(const char* conninfo, char** errmsg);
  void (*conninfoFree)(ConnInfoOption* options);
  void (*freemem)(void* ptr);
  int (*consumeInput)(Conn* conn);
  Notify* (*notifies)(Conn* conn);

  // The library, loaded on the first call and kept for the process's life.
  // Throws ArchiveUnreachable when it cannot be.
  static const PqLibrary& Get();
};
