// Command-line tests of morphella-tool's container and imagepack commands: round trips and exit codes.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>

namespace {

struct Result {
    int status;
    std::string out;
};

// MPH_BIN when it is set, else the directory this test program was built into, which holds the tool too.
std::string toolPath() {
    if (const char* bin = std::getenv("MPH_BIN"); bin != nullptr && *bin != '\0')
        return std::string(bin) + "/morphella-tool";
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "morphella-tool").string();
}

// Runs the tool with the words of args (already quoted for the shell) and collects its standard output,
// or with errors set its standard error instead.
Result runTool(const std::string& args, bool errors = false) {
    std::string command = "'";
    command.append(toolPath()).append("' ").append(args).append(errors ? " 2>&1 >/dev/null" : " 2>/dev/null");
    FILE* pipe = popen(command.c_str(), "r");
    Result r{-1, {}};
    if (pipe == nullptr) return r;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        r.out.append(buf, n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "mph-tool-XXXXXX").string();
        dir = mkdtemp(pattern.data()) ? pattern : std::string();
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string file(const std::string& name) const { return dir + "/" + name; }
    std::string dir;
};

} // namespace

TEST_F(ToolTest, ContainerRoundTrip) {
    writeFile(file("title"), std::string("Morphella\0", 10));
    writeFile(file("script.txt"), "<end>\r\n");
    writeFile(file("empty"), "");
    const std::string c = file("c.bin");
    ASSERT_EQ(runTool("container create " + c + " IDS_GAMETITLE=" + file("title") + " " + file("script.txt") +
                      " none=" + file("empty"))
                  .status,
              0);

    const Result list = runTool("container list " + c);
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.out, "IDS_GAMETITLE\t74\t10\nscript.txt\t84\t7\nnone\t91\t0\n");

    const Result text = runTool("container text " + c + " IDS_GAMETITLE");
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out, "Morphella\n");
    const Result missingText = runTool("container text " + c + " nothing");
    EXPECT_EQ(missingText.status, 1);
    EXPECT_EQ(missingText.out, "\n");

    EXPECT_EQ(runTool("container extract " + c + " script.txt " + file("out")).status, 0);
    EXPECT_EQ(readFile(file("out")), "<end>\r\n");
    EXPECT_EQ(runTool("container extract " + c + " none " + file("out0")).status, 0);
    EXPECT_EQ(readFile(file("out0")), "");
    EXPECT_EQ(runTool("container extract " + c + " nothing " + file("out2")).status, 1);
    EXPECT_FALSE(std::filesystem::exists(file("out2")));
}

TEST_F(ToolTest, ImagePackRoundTrip) {
    writeFile(file("a.png"), "\x89PNG-data");
    writeFile(file("b.gif"), "GIF89a");
    const std::string p = file("p.bin");
    ASSERT_EQ(runTool("imagepack create " + p + " logo=" + file("a.png") + " " + file("b.gif")).status, 0);
    const Result list = runTool("imagepack list " + p);
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.out, "logo\t9\nb.gif\t6\n");
    const std::string bytes = readFile(p);
    ASSERT_EQ(bytes.size(), 8u + (5 + 5 + 9) + (5 + 6 + 6));
    EXPECT_EQ(static_cast<uint8_t>(bytes[18]), 0x89 ^ 0x6D);
}

TEST_F(ToolTest, BadUsageAndUnreadableInput) {
    EXPECT_EQ(runTool("container").status, 2);
    EXPECT_EQ(runTool("container list").status, 2);
    EXPECT_EQ(runTool("container frobnicate x").status, 2);
    EXPECT_EQ(runTool("container list " + file("missing")).status, 2);
    EXPECT_EQ(runTool("container list " + dir).status, 2);
    EXPECT_EQ(runTool("container create " + file("c.bin") + " " + file("missing")).status, 2);
    EXPECT_FALSE(std::filesystem::exists(file("c.bin")));
    EXPECT_EQ(
        runTool("container create " + file("c.bin") + " " + std::string(300, 'n') + "=/dev/null").status, 2);
    EXPECT_EQ(runTool("imagepack create " + file("p.bin")).status, 2);
    EXPECT_EQ(runTool("imagepack list " + file("missing")).status, 2);
    writeFile(file("junk"), "\0\0\0\0junk");
    EXPECT_EQ(runTool("imagepack list " + file("junk")).status, 2);
    // A damaged container still lists what it holds.
    writeFile(file("short"), std::string("\0\0\0\0\0\0\0\0\xff\xff\xff\xff\x01z", 14));
    const Result damaged = runTool("container list " + file("short"));
    EXPECT_EQ(damaged.status, 0);
    EXPECT_EQ(damaged.out, "");
}

TEST_F(ToolTest, PutReplacesOrAddsAndDeleteRemovesWithoutTouchingTheRest) {
    writeFile(file("a"), "first");
    writeFile(file("b"), "second");
    writeFile(file("a2"), "changed");
    const std::string c = file("c.bin");
    ASSERT_EQ(runTool("container create " + c + " a=" + file("a") + " b=" + file("b")).status, 0);
    EXPECT_EQ(runTool("container create " + file("d.bin") + " a=" + file("a") + " a=" + file("b")).status, 2);
    EXPECT_FALSE(std::filesystem::exists(file("d.bin"))) << "two items of one name are refused";

    ASSERT_EQ(runTool("container put " + c + " a=" + file("a2") + " new=" + file("a")).status, 0);
    EXPECT_EQ(runTool("container list " + c).out, "a\t52\t7\nb\t59\t6\nnew\t65\t5\n");
    EXPECT_EQ(runTool("container text " + c + " a").out, "change\n");

    // A name that is not there changes nothing, even when the others are.
    const std::string before = readFile(c);
    EXPECT_EQ(runTool("container delete " + c + " b nothing").status, 1);
    EXPECT_EQ(readFile(c), before);
    EXPECT_EQ(runTool("container put " + c + " x=" + file("missing")).status, 2);
    EXPECT_EQ(readFile(c), before);
    ASSERT_EQ(runTool("container delete " + c + " b new").status, 0);
    EXPECT_EQ(runTool("container list " + c).out, "a\t30\t7\n");
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << "no leftovers";

    // A container whose directory points past its end is not rewritten (its missing bytes would turn
    // into zeros).
    std::string damaged = readFile(c);
    damaged.resize(damaged.size() - 2);
    writeFile(file("short.bin"), damaged);
    EXPECT_EQ(runTool("container put " + file("short.bin") + " b=" + file("b")).status, 2);
    EXPECT_EQ(readFile(file("short.bin")), damaged);
}

TEST_F(ToolTest, PackingAScriptWithLineFeedsOnlyWarns) {
    writeFile(file("lf.txt"), "; the menu\n<sprites>\nbg Sprite 0 0\n");
    writeFile(file("crlf.txt"), "; the menu\r\n<sprites>\r\nbg Sprite 0 0\r\n");
    const std::string c = file("c.bin");
    const Result created =
        runTool("container create " + c + " menu=" + file("lf.txt") + " ok=" + file("crlf.txt"), true);
    EXPECT_EQ(created.status, 0) << "it still packs";
    EXPECT_EQ(
        created.out,
        "morphella-tool: warning: menu: the comment on line 1 runs on to the next carriage return, so the "
        "lines after it are not read; data scripts need CR LF line ends (see data/README.md)\n"
        "morphella-tool: warning: menu: the script creates nothing\n");
    const Result put = runTool("container put " + c + " ok=" + file("crlf.txt"), true);
    EXPECT_EQ(put.status, 0);
    EXPECT_NE(put.out.find("warning: menu:"), std::string::npos) << "every script packed is looked at";
}
