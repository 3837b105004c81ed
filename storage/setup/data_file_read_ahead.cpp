#include "storage/setup/data_file_read_ahead.h"

#include <exception>
#include <utility>

namespace {

std::optional<TableFile> LoadIfReadable(const std::string& path) {
  try {
    return TableFile::Load(path);
  } catch (const std::exception&) {
    return std::nullopt;  // read again when opened, and its error told then
  }
}

}  // namespace

DataFileReadAhead::DataFileReadAhead(DataFilePaths paths) : paths_(std::move(paths)) {
  try {
    reader_ = std::thread([this] {
      archive_ = LoadIfReadable(paths_.archive);
      municipalities_ = LoadIfReadable(paths_.municipalities);
    });
  } catch (const std::exception&) {
    // No thread to be had: the files are read when opened.
  }
}

DataFileReadAhead::~DataFileReadAhead() { Finish(); }

void DataFileReadAhead::Finish() {
  if (reader_.joinable()) reader_.join();
}

std::optional<TableFile> DataFileReadAhead::Take(const std::string& path) {
  Finish();
  std::optional<TableFile>* kept = path == paths_.archive          ? &archive_
                                   : path == paths_.municipalities ? &municipalities_
                                                                   : nullptr;
  if (kept == nullptr || !*kept) return std::nullopt;
  std::optional<TableFile> taken = std::move(*kept);
  kept->reset();
  return taken;
}
