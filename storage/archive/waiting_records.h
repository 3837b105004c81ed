// Records kept in the user's folder while the database cannot be reached.
#pragma once

#include <functional>
#include <string>
#include <vector>

// The records archived while the database server could not be reached, in a
// file of the user's own (an archive file: header, then one line each), so
// that neither a closed window nor a crash loses them. Every copy of the
// program the user runs on that database shares it, under a lock, and the
// first to reach the server sends them.
class WaitingRecords {
 public:
  // No file at all with an empty `folder`: then nothing can wait.
  WaitingRecords(std::string folder, const std::string& databaseLabel);

  bool Kept() const { return !path_.empty(); }
  const std::string& Path() const { return path_; }
  // The lines waiting; none when there is no file.
  std::vector<std::string> Lines() const;
  // Adds `lines` after those waiting, the folder made when missing. Throws
  // TableError ("Cannot create file <path>", or the lock's).
  void Append(const std::vector<std::string>& lines);
  // Hands what waits to `send`, and forgets it only once `send` returned:
  // what it throws leaves everything waiting. Nothing waits meanwhile
  // elsewhere: the lock is held throughout.
  void Send(const std::function<void(const std::vector<std::string>& lines)>& send);

 private:
  std::string folder_;
  std::string path_;
};
