#include "storage/archive/pq_library.h"

#include <cstdint>
#include <mutex>
#include <stdexcept>

#include "storage/archive/archive.h"
#include "storage/files/process_facts.h"

#ifdef _WIN32
#include "storage/files/windows_api.h"
#else
#include <dlfcn.h>
#endif

namespace {

#ifdef _WIN32
const char* const kLibraryName = "libpq.dll";
void* OpenLibrary() { return reinterpret_cast<void*>(LoadLibraryA(kLibraryName)); }
void* Symbol(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
std::string LoadError() {
  return std::string(kLibraryName) + " (" + std::to_string(GetLastError()) + ")";
}
#else
const char* const kLibraryName = "libpq.so.5";
void* OpenLibrary() { return dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL); }
void* Symbol(void* library, const char* name) { return dlsym(library, name); }
std::string LoadError() {
  const char* why = dlerror();
  return why != nullptr ? why : kLibraryName;
}
#endif

template <typename Function>
void Bind(void* library, Function& function, const char* name) {
  void* symbol = Symbol(library, name);
  if (symbol == nullptr)
    throw ArchiveUnreachable(std::string("Archivio non raggiungibile: libreria libpq senza ") +
                             name);
  // Object and function pointers share one representation on every system
  // the program runs on; dlsym's own contract.
  function = reinterpret_cast<Function>(reinterpret_cast<std::uintptr_t>(symbol));
}

PqLibrary Load() {
  void* library = OpenLibrary();
  if (library == nullptr)
    throw ArchiveUnreachable("Archivio non raggiungibile: libreria libpq non trovata (" +
                             LoadError() + ")");
  PqLibrary pq{};
  Bind(library, pq.connectdbParams, "PQconnectdbParams");
  Bind(library, pq.status, "PQstatus");
  Bind(library, pq.errorMessage, "PQerrorMessage");
  Bind(library, pq.finish, "PQfinish");
  Bind(library, pq.reset, "PQreset");
  Bind(library, pq.setClientEncoding, "PQsetClientEncoding");
  Bind(library, pq.setNoticeProcessor, "PQsetNoticeProcessor");
  Bind(library, pq.exec, "PQexec");
  Bind(library, pq.execParams, "PQexecParams");
  Bind(library, pq.resultStatus, "PQresultStatus");
  Bind(library, pq.resultErrorMessage, "PQresultErrorMessage");
  Bind(library, pq.resultErrorField, "PQresultErrorField");
  Bind(library, pq.ntuples, "PQntuples");
  Bind(library, pq.nfields, "PQnfields");
  Bind(library, pq.getvalue, "PQgetvalue");
  Bind(library, pq.clear, "PQclear");
  Bind(library, pq.db, "PQdb");
  Bind(library, pq.host, "PQhost");
  Bind(library, pq.port, "PQport");
  Bind(library, pq.conninfo, "PQconninfo");
  Bind(library, pq.conninfoParse, "PQconninfoParse");
  Bind(library, pq.conninfoFree, "PQconninfoFree");
  Bind(library, pq.freemem, "PQfreemem");
  Bind(library, pq.consumeInput, "PQconsumeInput");
  Bind(library, pq.notifies, "PQnotifies");
  return pq;
}

}  // namespace

const PqLibrary& PqLibrary::Get() {
  // Tried again after a failure: the user may install the library meanwhile.
  static std::mutex guard;
  static PqLibrary loaded{};
  static bool done = false;
  const std::lock_guard<std::mutex> lock(guard);
  if (!done) {
    // A process that may hold a password from here on leaves no core file.
    KeepNoCoreFiles();
    loaded = Load();
    done = true;
  }
  return loaded;
}
