// Path helpers: the program writes paths with "\" as well as "/"; these turn them into Linux paths.
#pragma once

#include "runtime/String.h"

namespace mph {

// The path with every "\" turned into "/".
lang::String nativePath(const lang::String& path);

// directory, a separator unless directory already ends with one, then name; an empty directory gives name.
lang::String joinPath(const lang::String& directory, const lang::String& name);

} // namespace mph
