// Whole-file reading and the safe replace: the one door to the system's files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/files/file_bytes.h"
#include "storage/files/file_stamp.h"
#include "storage/files/line_writer.h"

// Whole-file reading and replacing: the only code that knows the operating
// system. Paths are UTF-8 and reach the system whole (widened on Windows), so
// a folder named with any letter works. A symbolic link is followed to its
// final target, which is where the file is read, replaced, copied or stamped,
// even when that target does not exist yet.

// Every byte of the file, read at once while other programs may read the file
// but not write it. No value when the file cannot be opened or read. With
// `stamp`, the stamp of the very file read, taken as it was opened.
std::optional<FileBytes> ReadWholeFile(const std::string& path, FileStamp* stamp = nullptr);

// A file read from its start a piece at a time, opened as ReadWholeFile
// opens it and held open while the reader lives: every piece is of the one
// file opened, whatever is renamed over it meanwhile.
class FileReader {
 public:
  explicit FileReader(const std::string& path);
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  // False when the file could not be opened as one ReadWholeFile reads.
  bool Opened() const { return handle_ != kNone; }
  // The next bytes, at most `most`, into `into`: how many, 0 at the end of
  // the file; none when the read failed.
  std::optional<std::size_t> Read(char* into, std::size_t most);

 private:
  static constexpr std::intptr_t kNone = -1;
  std::intptr_t handle_ = kNone;  // the descriptor or handle
};

// Puts `contents` in place of the file at `path` (created when missing). The
// bytes go to a new file in the same folder, created no wider than the old
// file and given its mode (and, where the system allows, its owner and
// group), synced to disk, then renamed over the old file; the folder is
// synced after. A failure at any step leaves the old file as it was and no
// new file behind. A read-only file, or anything but a regular file, is
// refused. False on failure.
bool ReplaceFileContents(const std::string& path, std::string_view contents);

// The same, the file's contents being every line followed by CR LF, written
// through a fixed buffer so that no copy of the whole text is made.
bool ReplaceFileLines(const std::string& path, const std::vector<std::string_view>& lines);

// The same, the file's contents being what `produce` gives the sink it is
// handed, in as many pieces as it likes; false from `produce` fails the
// replace as a failed write does. Without `sync` nothing waits for the disk:
// for a file made again from one that stays (a list's output).
bool ReplaceFileFrom(const std::string& path,
                     const std::function<bool(const ByteSink& sink)>& produce, bool sync = true);

// Copies the file whole, byte for byte, beside itself as "<name>.orig", or
// "<name>.orig.2", "<name>.orig.3"… when taken; the copy is no wider than the
// file. Gives the path written. Throws TableError "Cannot open file %s" when
// the file cannot be read and "Cannot create file %s" when the copy cannot be
// written.
std::string CopyBesideAsOriginal(const std::string& path);

// The file's stamp now; `exists` false when there is no such file.
FileStamp StampOf(const std::string& path);

// Whether a replace would take the file as it is now: it exists, is a
// regular file (a link's final target counts) and is not read-only.
bool IsReplaceableFile(const std::string& path);
