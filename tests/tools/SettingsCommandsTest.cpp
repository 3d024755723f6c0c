// Command-line tests of morphella-tool settings: output forms and exit statuses.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace {

struct ToolRun {
    int status;
    std::string out;
};

class SettingsCommands : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "mph-tool-settings-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        const char* bin = std::getenv("MPH_BIN");
        // Without MPH_BIN the tool is looked for beside this test program, where the build puts both.
        const std::string here = std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
        m_tool = (bin != nullptr && bin[0] != '\0' ? std::string(bin) : here) + "/morphella-tool";
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    // Runs the tool with its store in the test's own data folder; arguments are single-quoted.
    ToolRun tool(const std::string& args) {
        const std::string cmd =
            "XDG_DATA_HOME='" + m_dir + "' '" + m_tool + "' settings " + args + " 2>/dev/null";
        FILE* p = ::popen(cmd.c_str(), "r");
        ToolRun r{-1, {}};
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
            r.out.append(buf, n);
        const int status = ::pclose(p);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return r;
    }

    std::string m_dir;
    std::string m_tool;
};

} // namespace

TEST_F(SettingsCommands, SetGetListAndDelete) {
    EXPECT_EQ(tool("set MRUHSNAME 'Ann Lee'").status, 0);
    EXPECT_EQ(tool("set --dword 'audio\\fx' 4294967295").status, 0);
    EXPECT_EQ(tool("set --dword FULLSCREEN 0").status, 0);
    EXPECT_TRUE(std::filesystem::exists(m_dir + "/quillory/morphella/settings.db"));

    ToolRun list = tool("list");
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.out, "FULLSCREEN\tdword\t0\nMRUHSNAME\tstring\tAnn Lee\naudio\\fx\tdword\t-1\n");

    ToolRun get = tool("get mruhsname");
    EXPECT_EQ(get.status, 0);
    EXPECT_EQ(get.out, "Ann Lee\n");
    EXPECT_EQ(tool("get 'audio\\fx'").out, "-1\n");

    EXPECT_EQ(tool("get NOSUCH").status, 1);
    EXPECT_EQ(tool("delete FULLSCREEN").status, 0);
    EXPECT_EQ(tool("delete FULLSCREEN").status, 1);
    EXPECT_EQ(tool("get FULLSCREEN").status, 1);
    EXPECT_EQ(tool("delete audio").status, 0) << "a sub-key goes with its values";
    EXPECT_EQ(tool("list").out, "MRUHSNAME\tstring\tAnn Lee\n");
}

TEST_F(SettingsCommands, BadUsageExitsWith2) {
    for (const char* args :
         {"", "frobnicate", "get", "get a b", "set A", "set --dword A", "set --dword A 12x",
          "set --dword A 4294967296", "set --dword A -2147483649", "list extra", "delete"})
        EXPECT_EQ(tool(args).status, 2) << args;
    EXPECT_EQ(tool("set --dword A -2147483648").status, 0);
    EXPECT_EQ(tool("get A").out, "-2147483648\n");
}
