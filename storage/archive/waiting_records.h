// Records kept in the user's folder while the database cannot be reached.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// The records archived while the database server could not be reached, in a
// file of the user's own (an archive file: header, then one line each), so
// that neither a closed window nor a crash loses them. Every copy of the
// program the user runs on that database shares it, under a lock, and the
// first to reach the server sends them. A record that cannot be stored (it
// fails the checks of a file's import, or the server refuses it) goes to a
// file of refused records beside it, with its reason, and waits no more.
class WaitingRecords {
 public:
  // No file at all with an empty `folder`: then nothing can wait.
  explicit WaitingRecords(std::string folder);

  // Names the file after the database: `label` is its name, host and port
  // as libpq gives them for the connection tried, so that two databases
  // never share one. An empty label (a connection string libpq could not
  // read) names none.
  void Name(const std::string& label);
  bool Kept() const { return !path_.empty(); }
  const std::string& Path() const { return path_; }
  // Where the refused records go.
  std::string RefusedPath() const;

  // The lines waiting; none when there is no file. A file there that cannot
  // be read throws TableError, naming it; it is left as it is.
  std::vector<std::string> Lines() const;
  // Adds `lines` after those waiting, the folder made when missing. Throws
  // TableError ("Cannot create file <path>", the lock's, or Lines').
  void Append(const std::vector<std::string>& lines);

  // A line the server refused: its index among those handed over, and why.
  struct Refusal {
    std::size_t index;
    std::string reason;
  };
  using Sender = std::function<std::vector<Refusal>(const std::vector<std::string>& lines)>;
  // Hands the lines that pass an import's checks to `send`, which stores
  // them, but for those it gives back as refused, and commits; the file is
  // removed only once `send` returned and the refused lines are kept in the
  // file of refused records. What `send` throws leaves everything waiting,
  // as does a file that cannot be read (thrown as Lines does). Gives what
  // the user is told of the refused ones, once (empty when none was), each
  // by its line in the file and its reason. The lock is held throughout.
  std::string Send(const Sender& send);

 private:
  std::string folder_;
  std::string path_;
};
