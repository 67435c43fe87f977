#pragma once
// Any CSV with a header row, its columns mapped by the user onto the fields of a login: Title,
// URL, Username, Password, Notes, Group and Modified (an ISO 8601 date). Columns left unmapped
// go into the note, labelled with their header, so nothing is dropped.

#include <map>
#include <string>
#include <string_view>

#include "ImportedCard.h"

namespace tessarel {

// Target field (as above) -> the header of the column that fills it.
using CsvFieldMap = std::map<std::string, std::string>;

// The targets a column may be mapped to, in the order a mapping step lists them.
const std::vector<std::string>& GenericCsvTargets();

// "name=Title,url=URL" (column=field; field names without regard to case). nullopt with `error`
// set for an unknown field, a field named twice or a pair without "=".
std::optional<CsvFieldMap> ParseCsvFieldMap(std::string_view text, std::string& error);

// Title must be mapped; every mapped column must be in the header.
ImportRead ReadGenericCsv(std::string_view text, const CsvFieldMap& map);

}  // namespace tessarel
