// The container chain: registration, the search for the container file and item look-ups.
#include "io/Resources.h"

#include "io/Path.h"

#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

using namespace lang;

namespace mph {

namespace {

std::mutex& chainMutex() {
    static std::mutex m;
    return m;
}

Ref<ResourceFile>& chainHead() {
    static Ref<ResourceFile> head;
    return head;
}

// The directory of the running program, with a trailing "/", or "" when it cannot be told.
std::string executableDirectory() {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    std::string path(buffer, static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool isRegularFile(const String& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), R_OK) == 0;
}

} // namespace

void addResourceFile(const String& name) {
    addResourceFile(make<ResourceFile>(name));
}

void addResourceFile(Ref<ResourceFile> file) {
    if (!file) return;
    std::lock_guard<std::mutex> guard(chainMutex());
    file->setNext(chainHead());
    chainHead() = std::move(file);
}

void clearResourceFiles() {
    Ref<ResourceFile> old;
    {
        std::lock_guard<std::mutex> guard(chainMutex());
        old.swap(chainHead());
    }
}

Ref<ResourceFile> resourceChain() {
    std::lock_guard<std::mutex> guard(chainMutex());
    return chainHead();
}

Ref<ResourceFile> baseResourceFile() {
    Ref<ResourceFile> base;
    for (Ref<ResourceFile> file = resourceChain(); file; file = retain(file->getNext()))
        if (file->isDataFile() && file->getHeader() != nullptr) base = file;
    return base;
}

void replaceOverlay(Ref<ResourceFile> overlay) {
    Ref<ResourceFile> dropped;
    std::lock_guard<std::mutex> guard(chainMutex());
    Ref<ResourceFile> rest = chainHead();
    while (rest && rest->isOverlay()) rest = retain(rest->getNext());
    if (overlay) {
        overlay->setOverlay(true);
        overlay->setNext(rest);
        rest = std::move(overlay);
    }
    // The overlays taken off are released outside the lock (releasing one releases its next, which the
    // chain still holds, so nothing else goes).
    dropped = std::move(chainHead());
    chainHead() = std::move(rest);
}

Ref<ResourceItem> findItem(const String& name) {
    for (Ref<ResourceFile> file = resourceChain(); file; file = retain(file->getNext())) {
        bool found = false;
        Ref<ResourceItem> item = file->lookUp(name, found);
        if (found || item) return item;
    }
    return nullptr;
}

String itemText(const ResourceItem* item) {
    if (item == nullptr || item->getData() == nullptr || item->getLength() <= 0) return String();
    return String(reinterpret_cast<const char*>(item->getData()), 0, item->getLength() - 1);
}

String getResourceString(const String& name) {
    Ref<ResourceItem> item = findItem(name);
    return itemText(item.get());
}

std::vector<String> containerSearchPaths(const String& name) {
    const String native = nativePath(name);
    if (native.indexOf('/') >= 0) return {native};
    std::vector<String> paths;
    const std::string exeDir = executableDirectory();
    if (!exeDir.empty()) paths.push_back(String(std::string_view(exeDir)) + native);
    paths.push_back(native);
    if (!exeDir.empty()) {
        // The program is installed as PREFIX/bin/NAME; its data lives in PREFIX/share/morphella.
        std::string prefix = exeDir.substr(0, exeDir.size() - 1);
        const size_t slash = prefix.rfind('/');
        prefix = slash == std::string::npos ? std::string() : prefix.substr(0, slash + 1);
        if (!prefix.empty()) paths.push_back(String(std::string_view(prefix + "share/morphella/")) + native);
    }
    paths.push_back(String("/usr/share/morphella/") + native);
    paths.push_back(String("/usr/local/share/morphella/") + native);
    return paths;
}

String findContainerFile(const String& name) {
    for (const String& path : containerSearchPaths(name)) {
        if (isRegularFile(path)) return path;
    }
    return String();
}

String containerNotFoundMessage(const String& name) {
    const std::vector<String> places = containerSearchPaths(name);
    String message = String("The game's data file ") + nativePath(name) + " cannot be opened.";
    if (places.size() == 1) return message;
    message = message + " It was looked for here:";
    // The current folder's candidate is shown as the folder it was when the search ran.
    char here[4096];
    const bool haveCwd = getcwd(here, sizeof here) != nullptr;
    for (const String& place : places) {
        if (haveCwd && !place.startsWith("/"))
            message = message + "\n" + String(here) + (std::string_view(here) == "/" ? "" : "/") + place;
        else
            message = message + "\n" + place;
    }
    return message;
}

} // namespace mph
