#pragma once
// The base path that a document's three files share.
#include <string>

namespace virevi {

/// A chosen file name without its extension: the last "." and what follows
/// it go when that "." lies after the last "/"; otherwise the name whole.
/// File names are UTF-8, where neither byte occurs inside a character.
std::string BasePathOf(const std::string& fileName);

} // namespace virevi
