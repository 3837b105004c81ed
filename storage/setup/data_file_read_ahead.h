// The data files read on a thread of their own while the program starts.
#pragma once

#include <optional>
#include <string>
#include <thread>

#include "storage/setup/data_files.h"
#include "storage/table/table_file.h"

// Reads the two data files on a thread of its own while the program starts,
// so that opening them costs no wait for the disk or the memory they take.
// Nothing else is shared: the thread only reads, and a file it could not
// read is simply not given, to be read (and its failure told) as ever. The
// archive keeps the stamp of the bytes read ahead, so a change made to the
// file after that is merged as any other copy's change would be.
class DataFileReadAhead {
 public:
  explicit DataFileReadAhead(DataFilePaths paths);
  ~DataFileReadAhead();
  DataFileReadAhead(const DataFileReadAhead&) = delete;
  DataFileReadAhead& operator=(const DataFileReadAhead&) = delete;

  // The lines read ahead from `path`, once; none for a path not read ahead
  // or a file that could not be read. Waits for the reading to end.
  std::optional<TableFile> Take(const std::string& path);

 private:
  void Finish();

  DataFilePaths paths_;
  std::optional<TableFile> archive_;
  std::optional<TableFile> municipalities_;
  std::thread reader_;
};
