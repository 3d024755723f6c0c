// Tests of the container: directory reading, item loading, the chain, text items and damaged files.
#include "TestFiles.h"

#include "io/ByteArrayInputStream.h"
#include "io/ContainerWriter.h"
#include "io/ResourceFileHeader.h"
#include "io/Resources.h"
#include "runtime/Exception.h"

#include <gtest/gtest.h>

using namespace lang;
using namespace mph;
using testfiles::bytesOf;

namespace {

void putWord(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void putEntry(std::vector<uint8_t>& out, const std::string& name, uint32_t offset, uint32_t length) {
    out.push_back(static_cast<uint8_t>(name.size()));
    out.insert(out.end(), name.begin(), name.end());
    putWord(out, offset);
    putWord(out, length);
}

// Registers the bytes as the one container of the chain, through a file in dir.
void registerContainer(const testfiles::TempDir& dir, const std::vector<uint8_t>& bytes) {
    testfiles::writeFile(dir.file("c.bin"), bytes);
    clearResourceFiles();
    addResourceFile(String(dir.file("c.bin").c_str()));
}

std::string itemString(const Ref<ResourceItem>& item) {
    return std::string(reinterpret_cast<const char*>(item->getData()), static_cast<size_t>(item->getLength()));
}

class Container : public ::testing::Test {
protected:
    void TearDown() override { clearResourceFiles(); }
    testfiles::TempDir dir;
};

} // namespace

TEST_F(Container, ItemsRoundTripThroughTheWriter) {
    ContainerWriter writer;
    writer.add(String("IDS_GAMETITLE"), bytesOf(std::string("Morphella", 10)));
    writer.add(String("empty"), {});
    writer.add(String("datafile"), bytesOf("<images>\r\n<end>\r\n"));
    writer.write(String(dir.file("c.bin").c_str()));
    clearResourceFiles();
    addResourceFile(String(dir.file("c.bin").c_str()));

    EXPECT_EQ(getResourceString(String("IDS_GAMETITLE")), "Morphella");
    EXPECT_EQ(getResourceString(String("ids_gametitle")), "");
    EXPECT_EQ(getResourceString(String("empty")), "");
    Ref<ResourceItem> empty = findItem(String("empty"));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->getLength(), 0);

    // Two look-ups are two private copies of the same bytes.
    Ref<ResourceItem> a = findItem(String("datafile"));
    Ref<ResourceItem> b = findItem(String("datafile"));
    ASSERT_TRUE(a && b);
    EXPECT_NE(a.get(), b.get());
    EXPECT_NE(a->getData(), b->getData());
    EXPECT_EQ(itemString(a), "<images>\r\n<end>\r\n");
    EXPECT_EQ(itemString(a), itemString(b));

    // A stream over "+name" holds the item for as long as it reads.
    auto stream = make<ByteArrayInputStream>(String("+datafile"));
    EXPECT_EQ(stream->size(), 17);
    EXPECT_EQ(stream->read(), '<');
    EXPECT_EQ(make<ByteArrayInputStream>(String("+nothing"))->read(), -1);

    auto header = make<ResourceFileHeader>(String(dir.file("c.bin").c_str()));
    ASSERT_EQ(header->entries().size(), 3u);
    EXPECT_EQ(header->entries()[1].name, "empty");
    // After the seal block and the directory come the title's 10 bytes and the empty item.
    EXPECT_EQ(header->entries()[2].offset,
              12u + ContainerWriter::kSealSize + (1 + 13 + 8) + (1 + 5 + 8) + (1 + 8 + 8) + 10);
}

TEST_F(Container, EmptyDirectoryAndMissingChain) {
    EXPECT_FALSE(findItem(String("x")));
    EXPECT_EQ(make<ByteArrayInputStream>(String("+x"))->size(), 0);
    std::vector<uint8_t> bytes;
    putWord(bytes, 7);
    putWord(bytes, 3);
    bytes.insert(bytes.end(), {'b', 'l', 'k'});
    putWord(bytes, 0);
    registerContainer(dir, bytes);
    EXPECT_FALSE(findItem(String("x")));
    EXPECT_EQ(resourceChain()->getHeader()->getBlockSize(), 3);
}

TEST_F(Container, ModuleNamesHoldNoItemsAndDoNotHideLaterFiles) {
    ContainerWriter writer;
    writer.add(String("a"), bytesOf("A!"));
    writer.write(String(dir.file("c.bin").c_str()));
    clearResourceFiles();
    addResourceFile(String(dir.file("c.bin").c_str()));
    addResourceFile(String("extra.DLL"));
    EXPECT_FALSE(resourceChain()->isDataFile());
    EXPECT_EQ(getResourceString(String("a")), "A");
    EXPECT_TRUE(ResourceFile::isModuleName(String("x.dll")));
    EXPECT_FALSE(ResourceFile::isModuleName(String("x.Dll")));
}

TEST_F(Container, MissingFileThrowsErrorOpening) {
    try {
        addResourceFile(String(dir.file("none.bin").c_str()));
        FAIL() << "no exception";
    } catch (Exception* e) {
        EXPECT_EQ(e->getMessage().str(), "Error Opening " + dir.file("none.bin"));
        e->release();
    }
}

TEST_F(Container, ItemsPastTheEndReadAsZeros) {
    std::vector<uint8_t> bytes;
    putWord(bytes, 0);
    putWord(bytes, 0);
    putWord(bytes, 4);
    putEntry(bytes, "tail", 0, 0); // offset patched below
    putEntry(bytes, "beyond", 100000, 5);
    putEntry(bytes, "huge", 0, 0xFFFFFFF0u);
    putEntry(bytes, "lead", 0, 1);
    const auto tailOffset = static_cast<uint32_t>(bytes.size());
    bytes.insert(bytes.end(), {'x', 'y'});
    // The tail entry claims 6 bytes where only 2 remain.
    bytes[12 + 1 + 4] = static_cast<uint8_t>(tailOffset);
    bytes[12 + 1 + 4 + 4] = 6;
    registerContainer(dir, bytes);

    Ref<ResourceItem> tail = findItem(String("tail"));
    ASSERT_TRUE(tail);
    EXPECT_EQ(itemString(tail), std::string("xy\0\0\0\0", 6));
    Ref<ResourceItem> beyond = findItem(String("beyond"));
    EXPECT_EQ(itemString(beyond), std::string(5, '\0'));
    // A length beyond the whole file is cut to the file's size rather than allocated.
    Ref<ResourceItem> huge = findItem(String("huge"));
    EXPECT_EQ(huge->getLength(), static_cast<int32_t>(bytes.size()));
    EXPECT_EQ(huge->getData()[0], 0);
    EXPECT_EQ(huge->getData()[8], 4);
}

TEST_F(Container, DamagedDirectoriesStopAtTheEndOfTheFile) {
    // A huge count with two whole entries and a third cut in the middle of its name.
    std::vector<uint8_t> bytes;
    putWord(bytes, 0);
    putWord(bytes, 0);
    putWord(bytes, 0xFFFFFFFFu);
    putEntry(bytes, "one", 0, 4);
    putEntry(bytes, "two", 4, 4);
    bytes.push_back(200);
    bytes.insert(bytes.end(), {'t', 'h'});
    auto header = make<ResourceFileHeader>(
        make<ByteArrayInputStream>(bytes.data(), static_cast<int32_t>(bytes.size())), bytes.size());
    ASSERT_EQ(header->entries().size(), 2u);
    EXPECT_TRUE(header->getItem(String("two")));
    EXPECT_FALSE(header->getItem(String("th")));

    // A block size beyond the file leaves an empty directory.
    std::vector<uint8_t> block;
    putWord(block, 0);
    putWord(block, 0x7FFFFFFFu);
    putWord(block, 1);
    auto blockHeader = make<ResourceFileHeader>(
        make<ByteArrayInputStream>(block.data(), static_cast<int32_t>(block.size())), block.size());
    EXPECT_TRUE(blockHeader->entries().empty());
    EXPECT_EQ(blockHeader->getBlockSize(), 0);

    // Every prefix of a good container reads without fault and keeps only whole entries.
    ContainerWriter writer;
    writer.add(String("alpha"), bytesOf("AAAA"));
    writer.add(String("beta"), bytesOf("BBBBBB"));
    const std::vector<uint8_t> good = writer.toBytes();
    for (size_t n = 0; n <= good.size(); ++n) {
        auto h = make<ResourceFileHeader>(make<ByteArrayInputStream>(good.data(), static_cast<int32_t>(n)), n);
        const size_t head = 12 + ContainerWriter::kSealSize;
        const size_t expected = n >= head + 14 + 13 ? 2 : n >= head + 14 ? 1 : 0;
        EXPECT_EQ(h->entries().size(), expected) << "prefix " << n;
        if (expected == 2) {
            EXPECT_EQ(h->getItem(String("beta"))->getData()[5], n == good.size() ? 'B' : 0);
        }
    }
}

TEST(ContainerSearch, LooksBesideTheProgramThenHereThenInstalledData) {
    const std::vector<String> paths = containerSearchPaths(String("morphella.bin"));
    ASSERT_GE(paths.size(), 4u);
    EXPECT_TRUE(paths[0].endsWith("/morphella.bin"));
    EXPECT_EQ(paths[1], "morphella.bin");
    EXPECT_TRUE(paths[2].endsWith("/share/morphella/morphella.bin"));
    EXPECT_EQ(paths[paths.size() - 2], "/usr/share/morphella/morphella.bin");
    EXPECT_EQ(paths.back(), "/usr/local/share/morphella/morphella.bin");
    EXPECT_EQ(containerSearchPaths(String("data\\c.bin")), std::vector<String>{String("data/c.bin")});

    testfiles::TempDir dir;
    testfiles::writeFile(dir.file("c.bin"), std::string("x"));
    EXPECT_EQ(findContainerFile(String(dir.file("c.bin").c_str())), dir.file("c.bin").c_str());
    EXPECT_EQ(findContainerFile(String("no-such-container.bin")), "");
}
