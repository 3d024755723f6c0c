// DataLoader: sections, tokens, image specs and packs, sprite definitions and nested scripts.
#include "audio/AudioClip.h"
#include "gfx/Image.h"
#include "gfx/PngWriter.h"
#include "io/ContainerWriter.h"
#include "io/ImagePackWriter.h"
#include "io/Resources.h"
#include "runtime/Ref.h"
#include "sprites/DataLoader.h"
#include "sprites/FancyContainer.h"
#include "sprites/SpriteClasses.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace lang;
using namespace mph;

namespace {

std::vector<uint8_t> pngOf(int w, int h, uint32_t argb) {
    Image image(w, h, 1, false);
    for (int i = 0; i < w * h; ++i) image.getPixels()[i] = argb;
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(PngWriter::encode(image, bytes));
    return bytes;
}

std::vector<uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

class DataLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerSpriteClasses();
        m_dir = std::filesystem::temp_directory_path() /
                ("mph-loader-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir);
        ContainerWriter container;
        container.add("background", pngOf(4, 3, 0xFF102030u));
        container.add("button", pngOf(8, 2, 0xFF00FF00u));
        container.add("menu", bytesOf("<sprites>\r\nok Sprite button 1 2\r\n"));
        container.add("self", bytesOf("<sprites> x FancyContainer:+self 0 0 10 10\r\n"));
        container.add("twice",
                      bytesOf("<sprites> x FancyContainer:+twice 0 0 1 1 y FancyContainer:+twice 0 0 1 1"));
        std::string wide = "<sprites>";
        for (int i = 0; i < 70; ++i) wide += " c" + std::to_string(i) + " FancyContainer:+menu 0 0 1 1";
        container.add("wide", bytesOf(wide));
        container.write(String((m_dir / "test.bin").c_str()));
        clearResourceFiles();
        addResourceFile(String((m_dir / "test.bin").c_str()));
        DataLoader::setErrorReporter([this](const String& message) { m_errors.push_back(message.str()); });
    }
    void TearDown() override {
        DataLoader::setErrorReporter(nullptr);
        clearResourceFiles();
        std::filesystem::remove_all(m_dir);
    }
    void writeFile(const std::string& name, const std::string& text) { std::ofstream(m_dir / name) << text; }
    Ref<DataLoader> loadText(const std::string& text, bool expectOk = true) {
        writeFile("script.txt", text);
        Ref<DataLoader> loader = adopt(new DataLoader(String(m_dir.c_str()), nullptr, nullptr));
        EXPECT_EQ(loader->load("script.txt"), expectOk);
        return loader;
    }
    std::vector<int> data(DataLoader& l) { return {l.getData().data, l.getData().data + l.getData().length}; }

    std::filesystem::path m_dir;
    std::vector<std::string> m_errors;
};

} // namespace

TEST_F(DataLoaderTest, EndAloneLoadsNothing) {
    Ref<DataLoader> l = loadText("<end>");
    EXPECT_EQ(l->getSprites()->size(), 0);
    EXPECT_EQ(l->getSounds().length, 0);
    EXPECT_EQ(l->getStrings().length, 0);
    EXPECT_EQ(l->getData().length, 0);
    EXPECT_TRUE(m_errors.empty());
}

TEST_F(DataLoaderTest, DataTruncatesAndHandsOverToTheNextHeader) {
    Ref<DataLoader> l = loadText("<DATA> 1 2.9 -3.7 <strings> hello 5 \"12\" <data> 7 8");
    EXPECT_EQ(data(*l), (std::vector<int>{7, 8})); // a later section replaces the earlier list
    ASSERT_EQ(l->getStrings().length, 3);
    EXPECT_EQ(*l->getStrings().at(0), "hello");
    EXPECT_EQ(*l->getStrings().at(1), "5."); // numbers are written back as the double-to-text conversion does
    EXPECT_EQ(*l->getStrings().at(2), "12");
    Ref<DataLoader> first = loadText("<data> 1 2.9 -3.7 <strings> x");
    EXPECT_EQ(data(*first), (std::vector<int>{1, 2, -3}));
    EXPECT_EQ(first->getStrings().length, 1);
}

TEST_F(DataLoaderTest, The300thNumberEndsTheScript) {
    std::string script = "<data>";
    for (int i = 0; i < 300; ++i) script += " " + std::to_string(i);
    Ref<DataLoader> l = loadText(script + " <strings> never");
    EXPECT_EQ(l->getData().length, 300);
    EXPECT_EQ(l->getStrings().length, 0);
    Ref<DataLoader> huge = loadText("<data> 99999999999 -99999999999");
    EXPECT_EQ(data(*huge), (std::vector<int>{INT32_MAX, INT32_MIN}));
}

TEST_F(DataLoaderTest, CommentsRunToTheNextCarriageReturn) {
    Ref<DataLoader> l = loadText("<data> 1 ; two\n 2\r 3 ; four\r\n 4");
    EXPECT_EQ(data(*l), (std::vector<int>{1, 3, 4}));
}

TEST_F(DataLoaderTest, SoundsKeepTheirPositionsAndTypes) {
    Ref<DataLoader> l = loadText("<sounds> *loop.wav ab *theme.mod +click.wav drum.xm");
    ASSERT_EQ(l->getSounds().length, 4);
    auto clip = [&](int i) { return static_cast<AudioClip*>(l->getSounds().data[i]); };
    EXPECT_EQ(clip(0)->getType(), 1);
    EXPECT_EQ(clip(0)->getName(), String(m_dir.c_str()) + "\\loop.wav");
    EXPECT_EQ(clip(1)->getType(), 2);
    EXPECT_EQ(clip(2)->getType(), 0);
    EXPECT_EQ(clip(2)->getName(), "+click.wav");
    EXPECT_EQ(clip(3)->getType(), 2);
}

TEST_F(DataLoaderTest, SpritesGetTheirImagesNumbersAndNames) {
    Ref<DataLoader> l = loadText("<images> bg +background\r\n"
                                 "<sprites> back Sprite bg 5 6\r\n"
                                 "\"\" Sprite button 1 2\r\n"
                                 "ghost NoSuchClass bg 0 0\r\n"
                                 "missing Sprite nothere button 3 4 <end>");
    Vector* sprites = l->getSprites();
    ASSERT_EQ(sprites->size(), 3); // the unknown class is dropped without a message
    auto* back = static_cast<Sprite*>(sprites->elementAt(0));
    EXPECT_EQ(back->getX(), 5);
    EXPECT_EQ(back->getWidth(), 4);
    EXPECT_EQ(l->getSpritesByName()->get("back"), back);
    EXPECT_EQ(l->getSpritesByName()->size(), 2); // the empty name is not entered
    auto* missing = static_cast<Sprite*>(sprites->elementAt(2));
    EXPECT_EQ(missing->getWidth(), 8); // the image that could not be found was skipped
    EXPECT_EQ(l->getImages().size(), 2);
    EXPECT_TRUE(m_errors.empty());
}

TEST_F(DataLoaderTest, MissingNumbersTakeTheNextNameAsAnImage) {
    Ref<DataLoader> l = loadText("<sprites> first Sprite button second Sprite background 7 8");
    ASSERT_EQ(l->getSprites()->size(), 1);
    // "second", "Sprite" and "background" became image names of the first definition.
    auto* first = static_cast<Sprite*>(l->getSprites()->elementAt(0));
    EXPECT_EQ(first->getX(), 7);
    EXPECT_EQ(first->getWidth(), 8);
}

TEST_F(DataLoaderTest, UserChoiceFallsBackToTheContainerItem) {
    Ref<DataLoader> l = loadText("<images> bg @background <sprites> s Sprite bg 0 0");
    auto* image = static_cast<Image*>(l->getImages().get("bg"));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getWidth(), 4);
}

TEST_F(DataLoaderTest, ImagePacksAddTheirPictures) {
    ImagePackWriter pack;
    pack.add("tile", pngOf(2, 2, 0xFFFFFFFFu));
    pack.add("empty", {});
    pack.write(String((m_dir / "pics.bin").c_str()));
    writeFile("broken.bin", "\x00\x00\x00\x05garbage");
    Ref<DataLoader> l = loadText("<images> pics.bin broken.bin nothere.bin <end>");
    EXPECT_EQ(l->getImages().size(), 1);
    EXPECT_NE(l->getImages().get("tile"), nullptr);
    EXPECT_TRUE(m_errors.empty()); // damaged and missing packs add nothing and say nothing
}

TEST_F(DataLoaderTest, ContainersAreFilledFromNestedScripts) {
    writeFile("menu", "<sprites>\r\nleft Sprite button 1 1 right Sprite button 2 2\r\n");
    Ref<DataLoader> l = loadText("<sprites> disk FancyContainer:menu 0 0 100 100 "
                                 "item FancyContainer:+menu 0 0 50 50 plain FancyContainer 0 0 5 5");
    ASSERT_EQ(l->getSprites()->size(), 3);
    EXPECT_EQ(static_cast<FancyContainer*>(l->getSprites()->elementAt(0))->getChildCount(), 2);
    EXPECT_EQ(static_cast<FancyContainer*>(l->getSprites()->elementAt(1))->getChildCount(), 1);
    EXPECT_EQ(static_cast<FancyContainer*>(l->getSprites()->elementAt(2))->getChildCount(), 0);
}

TEST_F(DataLoaderTest, AScriptThatNestsItselfStops) {
    Ref<DataLoader> l = loadText("<sprites> top FancyContainer:+self 0 0 10 10");
    EXPECT_EQ(l->getSprites()->size(), 1);
    ASSERT_FALSE(m_errors.empty());
    EXPECT_NE(m_errors.back().find("nested"), std::string::npos);
}

TEST_F(DataLoaderTest, NestedScriptsAreReadAtMostThirtyTwoTimesInAll) {
    // Naming itself twice is refused at once, not read again on every path down the levels.
    Ref<DataLoader> twice = loadText("<sprites> top FancyContainer:+twice 0 0 10 10");
    ASSERT_EQ(twice->getSprites()->size(), 1);
    EXPECT_EQ(static_cast<FancyContainer*>(twice->getSprites()->elementAt(0))->getChildCount(), 2);
    EXPECT_EQ(m_errors.size(), 2u);
    // Seventy containers in a nested script: with the two around them, 30 are read and 40 refused.
    m_errors.clear();
    Ref<DataLoader> wide = loadText("<sprites> top FancyContainer:+wide 0 0 10 10");
    ASSERT_EQ(wide->getSprites()->size(), 1);
    ASSERT_EQ(m_errors.size(), 40u);
    EXPECT_NE(m_errors.back().find("Too many nested scripts"), std::string::npos);
    // The count starts again with the next outermost load.
    m_errors.clear();
    loadText("<sprites> top FancyContainer:+menu 0 0 10 10");
    EXPECT_TRUE(m_errors.empty());
}

TEST_F(DataLoaderTest, MissingScriptsReportAndFail) {
    Ref<DataLoader> disk = adopt(new DataLoader(String(m_dir.c_str()), nullptr, nullptr));
    EXPECT_FALSE(disk->load("nothing.txt"));
    ASSERT_EQ(m_errors.size(), 1u);
    EXPECT_EQ(m_errors[0].rfind("Error Opening ", 0), 0u);
    Ref<DataLoader> item = adopt(new DataLoader(String(m_dir.c_str()), nullptr, nullptr));
    EXPECT_FALSE(item->load("+nothing"));
    EXPECT_EQ(m_errors.back(), "Error Opening +nothing");
}
