// Checks the built translations: one whole overlay container per language beside morphella.bin, holding
// only items of the game's container that differ from it, pictures of the same sizes, Latin-1 texts, the
// language's own name, and all of them within their size budget.
#include "GameData.h"

#include "gfx/Image.h"
#include "io/LanguageOverlay.h"
#include "io/ResourceFileHeader.h"
#include "runtime/Ref.h"

#include <gtest/gtest.h>

#include <set>

using namespace datatest;

namespace {

std::string bytesOf(mph::ResourceItem* item) {
    return item ? std::string(reinterpret_cast<const char*>(item->getData()),
                              static_cast<size_t>(item->getLength()))
                : std::string();
}

bool isPicture(const std::string& bytes) {
    return bytes.compare(0, 4, "\x89PNG") == 0;
}

} // namespace

TEST(Translations, EachLanguageIsAWholeOverlayOfTheItemsWhoseWordsDiffer) {
    GameData& data = GameData::instance();
    ASSERT_TRUE(data.open());
    const std::vector<mph::LanguageOverlay::Entry> overlays =
        mph::LanguageOverlay::besideContainer(data.path().string());
    std::vector<std::string> codes;
    for (const auto& e : overlays)
        codes.push_back(e.code);
    EXPECT_EQ(codes, (std::vector<std::string>{"de", "es", "fr", "it", "nl", "pt_BR"}));

    uint64_t total = 0;
    std::set<std::string> names = {data.item("langname")};
    for (const auto& e : overlays) {
        total += std::filesystem::file_size(e.path);
        std::string reason;
        lang::Ref<mph::ResourceFile> file = mph::LanguageOverlay::open(e.path, reason);
        ASSERT_TRUE(file) << e.code << ": " << reason;
        std::set<std::string> items;
        for (const auto& entry : file->getHeader()->entries()) {
            const std::string name = entry.name.str();
            items.insert(name);
            SCOPED_TRACE(e.code + " " + name);
            ASSERT_TRUE(data.has(name)) << "not an item of the game's container";
            const std::string mine = bytesOf(file->getHeader()->getItem(entry.name).get());
            const std::string english = data.item(name);
            EXPECT_NE(mine, english) << "the same as English";
            if (isPicture(english)) {
                auto picture =
                    lang::make<mph::Image>(reinterpret_cast<const uint8_t*>(mine.data()), mine.size());
                const Picture base = data.pictureItem(name);
                ASSERT_TRUE(picture->hasPixels());
                EXPECT_EQ(picture->getWidth(), base.width);
                EXPECT_EQ(picture->getHeight(), base.height);
            } else {
                // A text item: Latin-1 with one terminating zero, no control bytes.
                ASSERT_GE(mine.size(), 2u);
                EXPECT_EQ(mine.find('\0'), mine.size() - 1);
                for (const unsigned char c : mine.substr(0, mine.size() - 1))
                    EXPECT_TRUE((c >= 32 && c < 127) || c >= 160) << "byte " << int(c);
            }
        }
        for (const char* needed : {"langname", "btnlanguage", "langnote", "startpanel", "instpanel", "page1",
                                   "hspanel", "boardmask", "getglob", "notconnect"})
            EXPECT_EQ(items.count(needed), 1u) << e.code << " lacks " << needed;
        // The frame's words lie under boardmask's; a translation leaves it out.
        EXPECT_EQ(items.count("frame"), 0u) << e.code;
        names.insert(bytesOf(file->getHeader()->getItem(lang::String("langname")).get()));
    }
    EXPECT_EQ(names.size(), overlays.size() + 1) << "each language has a name of its own";
    EXPECT_LT(total, 8u * 1024 * 1024);
}
