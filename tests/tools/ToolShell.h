// Helpers of the command-line tests: where the built programs are, running a shell command, and the game's
// container packed again with its main script edited.
#pragma once

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace tooltest {

inline std::string bin() {
    return std::getenv("MPH_BIN") ? std::getenv("MPH_BIN") : ".";
}
inline std::string container() {
    const char* given = std::getenv("MPH_TEST_CONTAINER");
    return given != nullptr ? given : bin() + "/morphella.bin";
}

// Runs a shell command and gives its standard output and exit status.
inline std::string shell(const std::string& command, int& status) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    std::array<char, 4096> buffer{};
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        out.append(buffer.data(), n);
    const int raw = pclose(pipe);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return out;
}

// The game's container unpacked once into a folder, packed again with its main script edited.
class EditedData {
public:
    explicit EditedData(const std::filesystem::path& dir) : m_dir(dir) {
        int status = 0;
        std::istringstream names(shell(bin() + "/morphella-tool container list " + container(), status));
        std::string line;
        while (std::getline(names, line)) {
            const std::string name = line.substr(0, line.find_first_of(" \t,"));
            if (name.empty()) continue;
            const std::string file = (dir / name).string();
            shell(bin() + "/morphella-tool container extract " + container() + " " + name + " " + file,
                  status);
            m_items += " " + name + "=" + file;
        }
        std::ifstream in(dir / "datafile", std::ios::binary);
        m_script.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string pack(const std::function<void(std::string&)>& edit) {
        std::string script = m_script;
        edit(script);
        std::ofstream(m_dir / "datafile", std::ios::binary | std::ios::trunc) << script;
        const std::string out = (m_dir / "edited.bin").string();
        int status = 0;
        shell(bin() + "/morphella-tool container create " + out + m_items, status);
        return out;
    }

private:
    std::filesystem::path m_dir;
    std::string m_items;
    std::string m_script;
};

} // namespace tooltest
