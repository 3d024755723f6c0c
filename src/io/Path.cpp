// Path helpers shared by the file streams and the container search.
#include "io/Path.h"

#include <string>

using namespace lang;

namespace mph {

String nativePath(const String& path) {
    std::string text = path.str();
    for (char& c : text) {
        if (c == '\\') c = '/';
    }
    return String(std::string_view(text));
}

String joinPath(const String& directory, const String& name) {
    // An empty directory would otherwise turn a relative name into one at the root of the file system.
    if (directory.isEmpty()) return name;
    const char last = directory.charAt(directory.length() - 1);
    if (last == '\\' || last == '/') return directory + name;
    return directory + "\\" + name;
}

} // namespace mph
