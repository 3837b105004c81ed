// This machine's name and whether one of its processes still runs.
#pragma once

#include <cstdint>
#include <string>

// What the system says of this machine and its processes, each system its
// own way (file_io_posix.cpp, file_io_windows.cpp): enough to tell whether
// a temporary file's writer may still be writing it.

// This machine's name, as its network knows it; empty when the system does
// not say.
std::string ThisMachineName();
std::uint64_t ThisProcessId();
// Whether a process of this machine with that id runs (or may: one the
// system will not say about counts as running).
bool ProcessIsRunning(std::uint64_t id);

// From now on this process leaves no image of its memory behind when it
// crashes: it may hold a password. On Linux no core file (the limit set to
// zero, and the process made not dumpable, which a crash handler piping
// cores also honours); on Windows, which writes no core file itself, the
// error report it may make keeps no heap memory.
void KeepNoCoreFiles();
