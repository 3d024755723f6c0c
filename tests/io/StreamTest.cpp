// Tests of the file and memory streams and of the readers that wrap them.
#include "TestFiles.h"

#include "io/BufferedReader.h"
#include "io/ByteArrayInputStream.h"
#include "io/FileInputStream.h"
#include "io/InputStreamReader.h"
#include "runtime/Exception.h"

#include <gtest/gtest.h>

using namespace lang;
using namespace mph;

namespace {

std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (Exception* e) {
        std::string text = e->getMessage().str();
        e->release();
        return text;
    }
    return "(no exception)";
}

} // namespace

TEST(FileInputStream, ReadsSkipsResetsAndCloses) {
    testfiles::TempDir dir;
    testfiles::writeFile(dir.file("data"), std::string("0123456789"));
    auto in = make<FileInputStream>(String(dir.file("data").c_str()));
    EXPECT_EQ(in->size(), 10);
    EXPECT_EQ(in->read(), '0');
    EXPECT_EQ(in->skip(3), 3);
    uint8_t buf[16] = {};
    EXPECT_EQ(in->read(buf, 2, 16), 6);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf + 2), 6), "456789");
    EXPECT_EQ(in->read(), -1);
    EXPECT_EQ(in->read(buf, 0, 4), 0);
    in->reset();
    EXPECT_EQ(in->read(), '0');
    in->close();
    EXPECT_EQ(in->read(), -1);
    EXPECT_EQ(in->read(buf, 0, 4), 0);
}

TEST(FileInputStream, JoinsDirectoryAndNameWithEitherSeparator) {
    testfiles::TempDir dir;
    testfiles::writeFile(dir.file("f.txt"), std::string("x"));
    EXPECT_EQ(make<FileInputStream>(String("f.txt"), String(dir.path().c_str()))->read(), 'x');
    EXPECT_EQ(make<FileInputStream>(String("f.txt"), String((dir.path() + "\\").c_str()))->read(), 'x');
    std::string windowsStyle = dir.path() + "\\f.txt";
    EXPECT_EQ(make<FileInputStream>(windowsStyle.c_str())->read(), 'x');
}

TEST(FileInputStream, FailuresCarryTheirMessages) {
    testfiles::TempDir dir;
    const std::string missing = dir.file("missing");
    EXPECT_EQ(messageOf([&] { FileInputStream in(missing.c_str()); }), "Error Opening " + missing);
    // A directory opens with the C library but cannot be read, so it counts as unopenable.
    EXPECT_EQ(messageOf([&] { FileInputStream in(dir.path().c_str()); }), "Error Opening " + dir.path());
}

TEST(ByteArrayInputStream, ReadsAndClampsSkips) {
    const uint8_t data[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 0xFF};
    auto in = make<ByteArrayInputStream>(data, 10);
    uint8_t buf[4];
    EXPECT_EQ(in->read(buf, 0, 4), 4);
    EXPECT_EQ(in->skip(1000), 6);
    EXPECT_EQ(in->read(), -1);
    EXPECT_EQ(in->read(buf, 0, 4), 0);
    EXPECT_EQ(in->skip(-3), -3);
    EXPECT_EQ(in->skip(-100), -7);
    EXPECT_EQ(in->read(), 0);
    in->reset();
    EXPECT_EQ(in->skip(9), 9);
    EXPECT_EQ(in->read(), 255);
}

TEST(BufferedReader, PassesEveryByteAcrossRefills) {
    std::vector<uint8_t> data(2500);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
    data[0] = 0xFF;
    auto reader = make<BufferedReader>(
        make<InputStreamReader>(make<ByteArrayInputStream>(data.data(), static_cast<int32_t>(data.size()))));
    EXPECT_TRUE(reader->ready());
    EXPECT_EQ(reader->read(), 255);
    std::vector<uint8_t> rest(3000);
    EXPECT_EQ(reader->read(rest.data(), 0, 3000), 2499);
    EXPECT_TRUE(std::equal(data.begin() + 1, data.end(), rest.begin()));
    EXPECT_EQ(reader->read(), -1);
    reader->reset();
    EXPECT_EQ(reader->read(std::span<uint8_t>(rest.data(), 3)), 3);
    EXPECT_EQ(rest[2], data[2]);
}

TEST(BufferedReader, SkipCountsBufferedAndUnderlyingBytes) {
    std::vector<uint8_t> data(3000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
    auto reader = make<BufferedReader>(
        make<InputStreamReader>(make<ByteArrayInputStream>(data.data(), static_cast<int32_t>(data.size()))));
    EXPECT_EQ(reader->read(), 0);      // buffers bytes 0..1023
    EXPECT_EQ(reader->skip(10), 10);   // inside the buffer
    EXPECT_EQ(reader->read(), 11);
    EXPECT_EQ(reader->skip(1500), 1500); // 1012 buffered + 488 from the stream
    EXPECT_EQ(reader->read(), static_cast<uint8_t>(1512));
    EXPECT_EQ(reader->skip(5000), 1487);
    EXPECT_EQ(reader->read(), -1);
}

TEST(InputStreamReader, ClosesItsStreamWhenDestroyed) {
    testfiles::TempDir dir;
    testfiles::writeFile(dir.file("d"), std::string("abc"));
    auto stream = make<FileInputStream>(String(dir.file("d").c_str()));
    { auto reader = make<InputStreamReader>(stream); EXPECT_EQ(reader->read(), 'a'); }
    EXPECT_EQ(stream->read(), -1);
}
