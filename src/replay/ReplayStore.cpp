// ReplayStore: the replays folder: naming, atomic writing, the index of what it holds and pruning.
#include "replay/ReplayStore.h"

#include "io/SettingsStore.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace mph {

namespace {

constexpr const char* kPrefix = "game-";
constexpr const char* kExtension = ".mphr";

std::string fileName(uint64_t serial) {
    char name[48];
    std::snprintf(name, sizeof(name), "%s%016llu%s", kPrefix, static_cast<unsigned long long>(serial),
                  kExtension);
    return name;
}

// The serial of a file name the store made, or 0.
uint64_t serialOf(const std::string& name) {
    const size_t prefix = std::strlen(kPrefix), extension = std::strlen(kExtension);
    if (name.size() != prefix + 16 + extension || name.compare(0, prefix, kPrefix) != 0 ||
        name.compare(name.size() - extension, extension, kExtension) != 0)
        return 0;
    uint64_t serial = 0;
    for (size_t i = prefix; i < prefix + 16; ++i) {
        if (name[i] < '0' || name[i] > '9') return 0;
        serial = serial * 10 + static_cast<uint64_t>(name[i] - '0');
    }
    return serial;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

} // namespace

std::string ReplayStore::defaultFolder() {
    const std::string settings = SettingsStore::defaultPath("Morphella");
    if (settings.empty()) return {};
    return (fs::path(settings).parent_path() / "replays").string();
}

bool ReplayStore::writeAtomically(const std::string& path, std::string_view bytes, std::string& error) {
    const fs::path target(path);
    std::string temporary = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = "cannot create a file in " + target.parent_path().string() + ": " + std::strerror(errno);
        return false;
    }
    const bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ::close(fd);
    if (!written || ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot write " + path + ": " + std::strerror(written ? errno : savedErrno);
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself reaches the disk with the folder.
    const int folder = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

ReplayStore::Entry ReplayStore::entryOf(const std::string& path, uint64_t serial, const ReplayFile& game) {
    return Entry{path, serial, game.tableMode(), game.name, game.finalLevel, game.finalScore};
}

void ReplayStore::loadIndex() {
    if (m_loaded) return;
    m_loaded = true;
    std::error_code failed;
    for (const fs::directory_entry& item : fs::directory_iterator(m_folder, failed)) {
        const uint64_t serial = serialOf(item.path().filename().string());
        if (serial == 0 || !item.is_regular_file(failed)) continue;
        ReplayFile game;
        std::string error;
        if (!ReplayFile::load(item.path().string(), game, error)) {
            std::fprintf(stderr, "morphella: recorded game %s skipped: %s\n", item.path().c_str(),
                         error.c_str());
            continue;
        }
        m_entries.push_back(entryOf(item.path().string(), serial, game));
        m_lastSerial = std::max(m_lastSerial, serial);
    }
    std::sort(m_entries.begin(), m_entries.end(),
              [](const Entry& a, const Entry& b) { return a.serial > b.serial; });
}

void ReplayStore::prune() {
    // The best game of each table stays; the first of equal scores is the one that reached it.
    std::map<std::string, const Entry*> best;
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        const Entry*& kept = best[it->mode];
        if (kept == nullptr || it->score > kept->score) kept = &*it;
    }
    std::vector<Entry> kept;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const Entry& e = m_entries[i];
        const bool isBest = best[e.mode] == &e;
        if (i < kKeptRecent || isBest) {
            kept.push_back(e);
            continue;
        }
        std::error_code failed;
        if (!fs::remove(e.path, failed) && failed)
            std::fprintf(stderr, "morphella: cannot remove %s: %s\n", e.path.c_str(),
                         failed.message().c_str());
    }
    m_entries = std::move(kept);
}

std::string ReplayStore::save(const ReplayFile& game) {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_folder.empty()) return {};
    std::error_code failed;
    fs::create_directories(m_folder, failed);
    loadIndex();
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const uint64_t serial = std::max<uint64_t>(
        static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count()),
        m_lastSerial + 1);
    const std::string path = (fs::path(m_folder) / fileName(serial)).string();
    std::string error;
    if (!writeAtomically(path, game.encode(), error)) {
        std::fprintf(stderr, "morphella: the game was not recorded: %s\n", error.c_str());
        return {};
    }
    m_lastSerial = serial;
    m_entries.insert(m_entries.begin(), entryOf(path, serial, game));
    prune();
    return path;
}

bool ReplayStore::rewrite(const std::string& path, const ReplayFile& game) {
    std::lock_guard<std::mutex> guard(m_mutex);
    loadIndex();
    const auto it =
        std::find_if(m_entries.begin(), m_entries.end(), [&path](const Entry& e) { return e.path == path; });
    // A file pruned meanwhile is not brought back.
    if (it == m_entries.end()) return false;
    std::string error;
    if (!writeAtomically(path, game.encode(), error)) {
        std::fprintf(stderr, "morphella: the recorded game was not updated: %s\n", error.c_str());
        return false;
    }
    *it = entryOf(path, it->serial, game);
    return true;
}

std::vector<ReplayStore::Entry> ReplayStore::entries() {
    std::lock_guard<std::mutex> guard(m_mutex);
    loadIndex();
    return m_entries;
}

bool ReplayStore::has(std::string_view mode, std::string_view name, int32_t level, int32_t score) {
    std::lock_guard<std::mutex> guard(m_mutex);
    loadIndex();
    return std::any_of(m_entries.begin(), m_entries.end(), [&](const Entry& e) {
        return e.mode == mode && e.name == name && e.level == level && e.score == score;
    });
}

std::string ReplayStore::bytes(std::string_view mode, std::string_view name, int32_t level, int32_t score,
                               int32_t nonce) {
    std::string path;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        loadIndex();
        for (const Entry& e : m_entries) {
            if (e.mode == mode && e.name == name && e.level == level && e.score == score) {
                path = e.path;
                break;
            }
        }
    }
    if (path.empty()) return {};
    std::ifstream in(path, std::ios::binary);
    std::string out((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (out.size() > ReplayFile::kMaxBytes) return {};
    if (nonce == 0) return out;
    ReplayFile file;
    std::string error;
    if (!ReplayFile::decode(out, file, error)) return {};
    file.nonce = nonce;
    return file.encode();
}

} // namespace mph
