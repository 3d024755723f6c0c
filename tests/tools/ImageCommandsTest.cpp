// morphella-tool image: info and convert on real files, and their exit statuses.
#include "gfx/Image.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

struct ToolRun {
    int status;
    std::string out;
};

// The tool sits in MPH_BIN, or else beside this test program.
std::string binDirectory() {
    if (const char* bin = std::getenv("MPH_BIN")) return bin;
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path(self, n > 0 ? static_cast<size_t>(n) : 0);
    return path.substr(0, path.rfind('/'));
}

ToolRun tool(const std::string& arguments) {
    const std::string command = binDirectory() + "/morphella-tool " + arguments + " 2>/dev/null";
    ToolRun run{-1, {}};
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 256> chunk{};
    while (size_t n = std::fread(chunk.data(), 1, chunk.size(), pipe))
        run.out.append(chunk.data(), n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

std::string temp(const std::string& name) {
    return "/tmp/mph-tool-image-" + std::to_string(getpid()) + "-" + name;
}

// A 2x2 GIF: white, transparent (index 0 is the transparent colour), red, white.
const std::vector<uint8_t> kGif = {'G',  'I', 'F', '8', '9', 'a', 2,    0,    2,    0, 0x81, 0, 0,
                                   0,    0,   0,   255, 255, 255, 255,  0,    0,    0, 0,    0, 0x21,
                                   0xF9, 4,   1,   0,   0,   0,   0,    0x2C, 0,    0, 0,    0, 2,
                                   0,    2,   0,   0,   2,   3,   0x0C, 0x14, 0x05, 0, 0x3B};

} // namespace

TEST(ImageCommands, InfoAndConvertKeepPixelsAndAlpha) {
    const std::string gif = temp("in.gif"), png = temp("out.png");
    FILE* f = std::fopen(gif.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(kGif.data(), 1, kGif.size(), f);
    std::fclose(f);

    const ToolRun info = tool("image info " + gif);
    EXPECT_EQ(info.status, 0);
    EXPECT_EQ(info.out, "2x2 alpha=1\n");

    ASSERT_EQ(tool("image convert " + gif + " " + png).status, 0);
    mph::Image decoded(lang::String(png.c_str()));
    ASSERT_TRUE(decoded.hasPixels());
    const uint32_t expected[4] = {0xFFFFFFFF, 0x00000000, 0xFFFF0000, 0xFFFFFFFF};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(decoded.getPixels()[i], expected[i]) << i;
    EXPECT_EQ(tool("image info " + png).out, "2x2 alpha=1\n");

    // The same picture as a container item.
    const std::string bin = temp("pictures.bin");
    ASSERT_EQ(tool("container create " + bin + " logo=" + gif).status, 0);
    EXPECT_EQ(tool("image info +logo --container " + bin).out, "2x2 alpha=1\n");
    EXPECT_EQ(tool("image info +nothing --container " + bin).status, 1);
    EXPECT_EQ(tool("image info +logo --container " + bin + ".missing").status, 2);
    std::remove(bin.c_str());
    std::remove(gif.c_str());
    std::remove(png.c_str());
}

TEST(ImageCommands, ExitStatuses) {
    EXPECT_EQ(tool("image info /nonexistent/picture.png").status, 1);
    EXPECT_EQ(tool("image").status, 2);
    EXPECT_EQ(tool("image info").status, 2);
    EXPECT_EQ(tool("image rotate x").status, 2);
    EXPECT_EQ(tool("image convert /nonexistent/picture.png /tmp/x.png").status, 2);
}
