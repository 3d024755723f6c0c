// Tests of the image pack writer and record reader, including damaged packs.
#include "io/ByteArrayInputStream.h"
#include "io/ImagePackReader.h"
#include "io/ImagePackWriter.h"
#include "runtime/Exception.h"

#include <gtest/gtest.h>

using namespace lang;
using namespace mph;

namespace {

std::vector<ImagePackReader::Record> readAll(const std::vector<uint8_t>& bytes, bool* valid = nullptr) {
    ImagePackReader reader(make<ByteArrayInputStream>(bytes.data(), static_cast<int32_t>(bytes.size())));
    if (valid) *valid = reader.isValid();
    std::vector<ImagePackReader::Record> records;
    ImagePackReader::Record r;
    while (reader.next(r)) records.push_back(r);
    return records;
}

// Whether action throws the runtime's exception; the exception is released.
template <class F> bool throwsException(F action) {
    try {
        action();
    } catch (Exception* e) {
        e->release();
        return true;
    }
    return false;
}

void putInt(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

} // namespace

TEST(ImagePack, WriterLayoutAndRoundTrip) {
    ImagePackWriter writer;
    writer.add(String("logo"), {0x89, 'P', 'N', 'G'});
    writer.add(String("blank"), {});
    writer.add(String("b"), {0x6D, 0x00});
    const std::vector<uint8_t> bytes = writer.toBytes();
    // Big-endian count and total, then the first record's length, name size with terminator, name, masked data.
    const std::vector<uint8_t> head = {0, 0, 0, 3, 0, 0, 0, static_cast<uint8_t>(bytes.size()), 0, 0, 0, 4, 5,
                                       'l', 'o', 'g', 'o', 0, 0x89 ^ 0x6D, 'P' ^ 0x6D};
    ASSERT_GT(bytes.size(), head.size());
    EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));

    const auto records = readAll(bytes);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].name, "logo");
    EXPECT_EQ(records[0].data, (std::vector<uint8_t>{0x89, 'P', 'N', 'G'}));
    EXPECT_EQ(records[1].name, "blank");
    EXPECT_TRUE(records[1].data.empty());
    EXPECT_EQ(records[2].data, (std::vector<uint8_t>{0x6D, 0x00}));
}

TEST(ImagePack, WriterRefusesWhatReadersCannotRead) {
    ImagePackWriter empty;
    EXPECT_TRUE(throwsException([&] { empty.toBytes(); }));
    ImagePackWriter longName;
    EXPECT_TRUE(throwsException([&] { longName.add(String(std::string(255, 'n')), {}); }));
    ImagePackWriter big;
    big.add(String("x"), std::vector<uint8_t>(10000000));
    EXPECT_TRUE(throwsException([&] { big.toBytes(); }));
}

TEST(ImagePack, BadHeadsAreRejected) {
    bool valid = true;
    auto check = [&](uint32_t count, uint32_t total) {
        std::vector<uint8_t> b;
        putInt(b, count);
        putInt(b, total);
        b.resize(64);
        readAll(b, &valid);
        return valid;
    };
    EXPECT_TRUE(check(1, 64));
    EXPECT_FALSE(check(0, 64));
    EXPECT_FALSE(check(0x80000000u, 64));
    EXPECT_FALSE(check(20, 64));          // fewer than 4 bytes per record
    EXPECT_FALSE(check(1, 10000001));     // over the size limit
    EXPECT_FALSE(check(1, 0xFFFFFFFFu));  // negative total
    readAll({0, 0, 0}, &valid);
    EXPECT_FALSE(valid);
}

TEST(ImagePack, DamagedRecordsEndThePackWithoutOverAllocating) {
    ImagePackWriter writer;
    writer.add(String("a"), {1, 2, 3});
    writer.add(String("b"), {4, 5, 6, 7});
    const std::vector<uint8_t> good = writer.toBytes();
    // Every cut keeps only the records that arrived whole.
    for (size_t n = 0; n < good.size(); ++n) {
        const auto records = readAll(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(n)));
        EXPECT_EQ(records.size(), n >= 8 + 10 ? 1u : 0u) << "cut at " << n;
    }
    // A record claiming more than the declared total ends the pack; one claiming the whole declared total
    // over a short file is dropped after reading what exists.
    auto pack = [](uint32_t total, uint32_t dataLength) {
        std::vector<uint8_t> b;
        putInt(b, 2);
        putInt(b, total);
        putInt(b, dataLength);
        b.insert(b.end(), {2, 'x', 0, 1, 2});
        return b;
    };
    EXPECT_TRUE(readAll(pack(9000000, 9000000)).empty());
    EXPECT_TRUE(readAll(pack(9000000, 100000)).empty());
    EXPECT_EQ(readAll(pack(9000000, 2)).size(), 1u);

    // A zero name length gives an empty name rather than reading before the buffer.
    std::vector<uint8_t> noName;
    putInt(noName, 1);
    putInt(noName, 100);
    putInt(noName, 1);
    noName.insert(noName.end(), {0, 0x6D});
    const auto records = readAll(noName);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].name, "");
    EXPECT_EQ(records[0].data, std::vector<uint8_t>{0});
}
