// SettingsTempDir: a private folder for one test's settings database, removed afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

class SettingsTempDir {
public:
    SettingsTempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "mph-settings-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
    }
    ~SettingsTempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::string& path() const { return m_path; }
    std::string db() const { return m_path + "/settings.db"; }

private:
    std::string m_path;
};
