#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zek {

// Flat JSON: objects of keys and scalar values, which is all the tools write (a module's
// settings) and read back (a backup of one module, or of a fleet as an array of them).

// Members in file order, each value as its text: a string's content in UTF-8 (a byte that
// is no UTF-8 read as Latin-1), or the text of a number, true, false or null.
using JsonMembers = std::vector<std::pair<std::string, std::string>>;

// A JSON string literal. Control characters (C0, DEL, C1) are \u escapes, so none reaches
// a file raw; a byte that is no UTF-8 is taken for Latin-1 (\u00NN), so the file is UTF-8.
std::string jsonString(std::string_view text);
// One object of string values, a member a line, keys in the order given.
std::string jsonObject(std::span<const std::pair<std::string, std::string>> members);
// An array of such objects, one per module.
std::string jsonArray(std::span<const JsonMembers> objects);

// One flat object. Nothing, with `error` set ("key 'a' twice (at character 16)"), for a
// nested value, a key given twice, a string that does not end, text after the object. A
// UTF-8 byte order mark is skipped.
std::optional<JsonMembers> parseFlatJson(std::string_view text, std::string& error);
// One flat object, or an array of them (`isArray` tells which): a fleet's backup as well as
// one module's. An error in an array names the object ("object 3: ...").
std::optional<std::vector<JsonMembers>> parseFlatJsonObjects(std::string_view text, std::string& error,
                                                             bool* isArray = nullptr);

} // namespace zek
