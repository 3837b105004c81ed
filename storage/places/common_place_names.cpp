#include "storage/places/common_place_names.h"

#include <algorithm>

#include "engine/letter_folding.h"
#include "storage/places/place_text.h"
#include "storage/table/record_format.h"

std::string_view CommonPlaceNamesText();  // made by cmake/embed-text.cmake

CommonPlaceNames::CommonPlaceNames(std::string_view text) {
  std::vector<std::string> header;
  int formColumn = -1;
  int namesColumn = -1;
  std::string form;
  std::string names;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (header.empty()) {
      header = SplitHeader(line);
      formColumn = FindColumn(header, "Forma");
      namesColumn = FindColumn(header, "Comuni");
      continue;
    }
    if (formColumn < 0 || namesColumn < 0) break;
    Form entry{LoosePlaceText(TidyPlaceText(FoldPlaceName(ValueAt(line, formColumn, form)))), {}};
    std::string_view rest = ValueAt(line, namesColumn, names);
    while (!rest.empty()) {
      const std::size_t semicolon = std::min(rest.find(';'), rest.size());
      std::string name = TidyPlaceText(rest.substr(0, semicolon));
      if (!name.empty()) entry.names.push_back(std::move(name));
      rest.remove_prefix(std::min(semicolon + 1, rest.size()));
    }
    if (!entry.loose.empty() && !entry.names.empty()) forms_.push_back(std::move(entry));
  }
  std::ranges::stable_sort(forms_, {}, &Form::loose);
}

const CommonPlaceNames& CommonPlaceNames::BuiltIn() {
  static const CommonPlaceNames names(CommonPlaceNamesText());
  return names;
}

std::span<const std::string> CommonPlaceNames::NamesOf(std::string_view loose) const {
  const auto found = std::ranges::lower_bound(forms_, loose, {}, &Form::loose);
  if (found == forms_.end() || found->loose != loose) return {};
  return found->names;
}

std::vector<std::string> CommonPlaceNames::NamesOfFormsStartingWith(std::string_view loose) const {
  std::vector<std::string> names;
  for (auto form = std::ranges::lower_bound(forms_, loose, {}, &Form::loose);
       form != forms_.end() && form->loose.starts_with(loose); ++form) {
    names.insert(names.end(), form->names.begin(), form->names.end());
  }
  return names;
}
