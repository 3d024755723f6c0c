// Tests of the languages: choosing one from the setting and the environment, and the overlays in front of
// the container (fall-through look-ups, damaged and missing overlays).
#include "TestFiles.h"

#include "io/ContainerWriter.h"
#include "io/LanguageChoice.h"
#include "io/LanguageOverlay.h"
#include "io/Resources.h"

#include <gtest/gtest.h>

#include <map>

using namespace lang;
using namespace mph;
using testfiles::bytesOf;

namespace {

LanguageChoice::Environment environment(std::map<std::string, std::string> values) {
    return [values = std::move(values)](const char* name) -> const char* {
        const auto it = values.find(name);
        return it == values.end() ? nullptr : it->second.c_str();
    };
}

const std::vector<std::string> kAvailable = {"de", "es", "fr", "it", "nl", "pt_BR"};

std::string fromEnvironment(std::map<std::string, std::string> values) {
    return LanguageChoice::fromEnvironment(environment(std::move(values)), kAvailable);
}

void writeContainer(const std::string& path, const std::map<std::string, std::string>& items) {
    ContainerWriter writer;
    for (const auto& [name, text] : items)
        writer.add(String(std::string_view(name)), bytesOf(text + '\0'));
    writer.write(String(path.c_str()));
}

class Overlays : public ::testing::Test {
protected:
    void SetUp() override {
        writeContainer(dir.file("game.bin"), {{"a", "base a"}, {"b", "base b"}, {"langname", "English"}});
        writeContainer(dir.file("game.de.bin"), {{"a", "Deutsch a"}, {"langname", "Deutsch"}});
        clearResourceFiles();
        addResourceFile(String(dir.file("game.bin").c_str()));
    }
    void TearDown() override {
        LanguageOverlay::use(LanguageChoice::kEnglish);
        clearResourceFiles();
    }
    testfiles::TempDir dir;
};

} // namespace

TEST(LanguageChoice, MatchesCodesLanguagesAndOtherRegions) {
    EXPECT_EQ(LanguageChoice::normalise("de_AT.UTF-8@euro"), "de_AT");
    EXPECT_EQ(LanguageChoice::match("de_AT.UTF-8", kAvailable), "de");
    EXPECT_EQ(LanguageChoice::match("pt_BR", kAvailable), "pt_BR");
    EXPECT_EQ(LanguageChoice::match("pt", kAvailable), "pt_BR");
    EXPECT_EQ(LanguageChoice::match("pt_PT.UTF-8", kAvailable), "pt_BR");
    EXPECT_EQ(LanguageChoice::match("en_GB", kAvailable), "en");
    EXPECT_EQ(LanguageChoice::match("sv_SE", kAvailable), "");
    EXPECT_EQ(LanguageChoice::match("", kAvailable), "");
}

TEST(LanguageChoice, FollowsGettextsOrderOfTheEnvironment) {
    EXPECT_EQ(fromEnvironment({{"LANG", "de_AT.UTF-8"}}), "de");
    EXPECT_EQ(fromEnvironment({{"LANG", "fr_FR.UTF-8"}, {"LC_MESSAGES", "it_IT.UTF-8"}}), "it");
    EXPECT_EQ(fromEnvironment({{"LANG", "fr_FR"}, {"LC_MESSAGES", "it_IT"}, {"LC_ALL", "nl_NL"}}), "nl");
    // The LANGUAGE list comes first, entry by entry, but only when the locale is not C.
    EXPECT_EQ(fromEnvironment({{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "sv:es:fr"}}), "es");
    EXPECT_EQ(fromEnvironment({{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "sv:en_GB:fr"}}), "en");
    EXPECT_EQ(fromEnvironment({{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "sv"}}), "de");
    EXPECT_EQ(fromEnvironment({{"LC_ALL", "C"}, {"LANGUAGE", "de"}}), "en");
    EXPECT_EQ(fromEnvironment({{"LANG", "C.UTF-8"}, {"LANGUAGE", "de"}}), "en");
    EXPECT_EQ(fromEnvironment({{"LANG", "POSIX"}}), "en");
    EXPECT_EQ(fromEnvironment({}), "en");
    EXPECT_EQ(fromEnvironment({{"LANG", "ja_JP.UTF-8"}}), "en");
    // The player's setting wins; one naming a language that is not there gives English.
    EXPECT_EQ(LanguageChoice::choose("pt", environment({{"LANG", "de_DE"}}), kAvailable), "pt_BR");
    EXPECT_EQ(LanguageChoice::choose("en", environment({{"LANG", "de_DE"}}), kAvailable), "en");
    EXPECT_EQ(LanguageChoice::choose("sv", environment({{"LANG", "de_DE"}}), kAvailable), "en");
    EXPECT_EQ(LanguageChoice::choose("", environment({{"LANG", "de_DE"}}), kAvailable), "de");
}

TEST_F(Overlays, AnOverlayAnswersForItsItemsAndTheRestFallsThrough) {
    testfiles::writeFile(dir.file("game.x.y.bin"), std::string("not a language"));
    testfiles::writeFile(dir.file("other.fr.bin"), std::string("another container's"));
    const std::vector<LanguageOverlay::Entry> found = LanguageOverlay::available();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].code, "de");

    EXPECT_TRUE(LanguageOverlay::use("de"));
    EXPECT_EQ(LanguageOverlay::current(), "de");
    EXPECT_EQ(getResourceString(String("a")), "Deutsch a");
    EXPECT_EQ(getResourceString(String("b")), "base b");
    EXPECT_EQ(getResourceString(String("langname")), "Deutsch");
    EXPECT_EQ(baseResourceFile()->getPath(), dir.file("game.bin").c_str());
    EXPECT_EQ(itemText(LanguageOverlay::itemOf("en", String("a")).get()), "base a");

    // Switching back takes the overlay off; another language's items can still be read without it.
    EXPECT_TRUE(LanguageOverlay::use("en"));
    EXPECT_EQ(getResourceString(String("a")), "base a");
    EXPECT_EQ(itemText(LanguageOverlay::itemOf("de", String("langname")).get()), "Deutsch");
    EXPECT_EQ(itemText(LanguageOverlay::itemOf("de", String("b")).get()), "base b");
    EXPECT_FALSE(resourceChain()->isOverlay());
}

TEST_F(Overlays, DamagedOrMissingOverlaysLeaveTheGameInEnglishWithAMessage) {
    ContainerWriter writer;
    writer.add(String("a"), bytesOf(std::string("Français a") + '\0'));
    writer.add(String("langname"), bytesOf(std::string("Français") + '\0'));
    std::vector<uint8_t> good = writer.toBytes();
    std::vector<uint8_t> flipped = good;
    flipped[flipped.size() - 3] ^= 0x20;
    testfiles::writeFile(dir.file("game.fr.bin"), flipped);
    testfiles::writeFile(dir.file("game.it.bin"), std::vector<uint8_t>(good.begin(), good.end() - 4));
    writeContainer(dir.file("game.nl.bin"), {{"a", "Nederlands a"}});
    testfiles::writeFile(dir.file("game.es.bin"), std::string("garbage"));

    for (const char* code : {"fr", "it", "nl", "es", "sv"}) {
        LanguageOverlay::use("de");
        testing::internal::CaptureStderr();
        EXPECT_FALSE(LanguageOverlay::use(code)) << code;
        const std::string message = testing::internal::GetCapturedStderr();
        EXPECT_NE(message.find("playing in English"), std::string::npos) << code << ": " << message;
        EXPECT_EQ(LanguageOverlay::current(), "en") << code;
        EXPECT_EQ(getResourceString(String("a")), "base a") << code;
    }
    std::string reason;
    EXPECT_FALSE(LanguageOverlay::open(dir.file("game.fr.bin"), reason));
    EXPECT_EQ(reason, "its items do not match their checksum");
    EXPECT_FALSE(LanguageOverlay::open(dir.file("game.it.bin"), reason));
    EXPECT_EQ(reason, "item \"langname\" runs past the end of the file");
    EXPECT_FALSE(LanguageOverlay::open(dir.file("game.nl.bin"), reason));
    EXPECT_NE(reason.find("does not name its language"), std::string::npos);
    testfiles::writeFile(dir.file("game.fr.bin"), good);
    EXPECT_TRUE(LanguageOverlay::use("fr"));
    EXPECT_EQ(getResourceString(String("a")), "Fran\xc3\xa7"
                                              "ais a");
}
