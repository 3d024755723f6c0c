// DialogFixture: builds the score library's dialogs from small scripts written into a private folder.
#pragma once

#include "TempDir.h"

#include "gfx/Image.h"
#include "gfx/PngWriter.h"
#include "io/ContainerWriter.h"
#include "io/Resources.h"
#include "io/User.h"
#include "runtime/Ref.h"
#include "scores/ScoreClasses.h"
#include "sprites/ButtonSprite.h"
#include "sprites/DataLoader.h"
#include "sprites/DialogSprite.h"
#include "sprites/SpriteClasses.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

class DialogFixture : public ::testing::Test {
protected:
    void SetUp() override {
        mph::registerSpriteClasses();
        mph::registerScoreClasses();
        m_store = lang::make<mph::User>();
        m_store->openAt(m_dir.db());
    }
    void TearDown() override { mph::clearResourceFiles(); }

    void write(const std::string& name, const std::string& text) {
        std::ofstream(m_dir.path() + "/" + name) << text;
    }
    // A w x h opaque picture file.
    void writePicture(const std::string& name, int32_t w, int32_t h) {
        mph::Image image(w, h, 1, false);
        for (int32_t i = 0; i < w * h; ++i)
            image.getPixels()[i] = 0xFF808080u;
        ASSERT_TRUE(mph::PngWriter::writeFile(image, (m_dir.path() + "/" + name).c_str()));
    }
    // Text items of a container registered for the test (getResourceString drops the last byte).
    void useTexts(const std::vector<std::pair<std::string, std::string>>& items) {
        mph::ContainerWriter container;
        for (const auto& [name, text] : items) {
            std::vector<uint8_t> bytes(text.begin(), text.end());
            bytes.push_back(0);
            container.add(lang::String(name.c_str()), bytes);
        }
        const std::string path = m_dir.path() + "/texts.bin";
        container.write(lang::String(path.c_str()));
        mph::clearResourceFiles();
        mph::addResourceFile(lang::String(path.c_str()));
    }
    // Loads the one-line script "name Class:nested x y w h 1" and returns the sprite called name.
    template <class T> lang::Ref<T> load(const std::string& definition, const char* name) {
        write("outer.txt", "<sprites> " + definition);
        lang::Ref<mph::DataLoader> loader =
            lang::adopt(new mph::DataLoader(lang::String(m_dir.path().c_str()), nullptr, nullptr));
        EXPECT_TRUE(loader->load("outer.txt"));
        lang::Object* found = loader->getSpritesByName()->get(name);
        EXPECT_NE(found, nullptr);
        return lang::retain(static_cast<T*>(found));
    }
    // The high-score dialog at (0, 0, 500, 400): buttons in a row at y 300 to 320 ("clear" from x 10, then
    // "close", "bmode", "bglobals", "bpersonal" and "bretry" every 60), "bsup" at (370, 10) and "bsdown"
    // at (370, 250), 20 square; the prompt at (100, 100) with "bclear" at (10, 50) and "bnoclear" at
    // (100, 50), 50 x 20. Numbers: top 40, nameX 100, levelX 200, scoreX 300.
    template <class T> lang::Ref<T> loadHighScores() {
        write("prompt.txt",
              "<sprites> bclear RectButtonSprite 10 50 50 20 1 bnoclear RectButtonSprite 100 50 50 20 1");
        write("hs.txt",
              "<data> 40 100 200 300 <sprites>\r\n"
              "clear RectButtonSprite 10 300 50 20 1\r\nclose RectButtonSprite 70 300 50 20 1\r\n"
              "bmode RectButtonSprite 130 300 50 20 1\r\nbglobals RectButtonSprite 190 300 50 20 1\r\n"
              "bpersonal RectButtonSprite 250 300 50 20 1\r\nbretry RectButtonSprite 310 300 50 20 0\r\n"
              "bsup RectButtonSprite 370 10 20 20 1\r\nbsdown RectButtonSprite 370 250 20 20 1\r\n"
              "message RichTTYSprite 10 340 300 40 12 16777215\r\n"
              "prompt DialogSprite:prompt.txt 100 100 200 100 1\r\n");
        lang::Ref<T> dialog = load<T>("hsdlg HighScoreSprite:hs.txt 0 0 500 400 1", "hsdlg");
        dialog->setStore(m_store.get());
        return dialog;
    }
    static int32_t stateOf(mph::DialogSprite& dialog, const char* button) {
        mph::Sprite* s = dialog.findChild(button);
        return s != nullptr && s->instanceOf("ButtonSprite") ? static_cast<mph::ButtonSprite*>(s)->getState()
                                                             : -1;
    }
    static void tick(mph::Sprite& sprite, int32_t t) {
        lang::Rectangle rect;
        sprite.update(t, rect, nullptr);
    }

    TempDir m_dir;
    lang::Ref<mph::User> m_store;
};
