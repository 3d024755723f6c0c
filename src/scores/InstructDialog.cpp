// InstructDialog: the version text, the pages and the cross-fades between them.
#include "scores/InstructDialog.h"

#include "gfx/Font.h"
#include "scores/GameVersion.h"
#include "scores/ScoreClasses.h"
#include "sprites/AnimateSprite.h"
#include "sprites/ButtonSprite.h"
#include "sprites/TextSprite.h"

using namespace lang;

namespace mph {

namespace {
ClassRecord<InstructDialog> instructRecord("InstructDialog");
// More pages than any dialog has; it bounds the search for the end of the series.
constexpr int32_t kMaxPages = 1000;
} // namespace

const Class& ScoreClasses::instructDialog() {
    return instructRecord;
}

AnimateSprite* InstructDialog::page(int32_t n) {
    if (n < 1) return nullptr;
    Sprite* s = findChild((String("pg") + n).c_str());
    return s != nullptr && s->instanceOf("AnimateSprite") ? static_cast<AnimateSprite*>(s) : nullptr;
}

void InstructDialog::enableButton(const char* name, bool on) {
    Sprite* s = findChild(name);
    if (s != nullptr && s->instanceOf("ButtonSprite")) static_cast<ButtonSprite*>(s)->setEnabled(on);
}

void InstructDialog::onLoaded(Hashtable* spritesByName) {
    DialogSprite::onLoaded(spritesByName);
    Sprite* version = findChild("version");
    if (version != nullptr && version->instanceOf("TextSprite")) {
        auto* text = static_cast<TextSprite*>(version);
        Ref<Font> font = adopt(new Font(String("Arial"), 0, 10));
        text->setFont(font.get());
        text->setColors(kVersionColour, 0xFFFFFFFFu);
        text->setText(String("v") + kGameVersion);
    }
    m_currentPage = 1;
    m_pageCount = 0;
    for (int32_t i = 1; i <= kMaxPages; ++i) {
        AnimateSprite* p = page(i);
        if (p == nullptr) break;
        p->setTint(i == 1 ? 128 : 0, 128, 128, 128);
        m_pageCount = i;
    }
    enableButton("bback", false);
    enableButton("bnext", m_currentPage < m_pageCount);
}

void InstructDialog::turnTo(int32_t n) {
    AnimateSprite* next = page(n);
    AnimateSprite* old = page(m_currentPage);
    m_currentPage = n;
    next->setTint(0, 128, 128, 128);
    next->fadeTo(128, kFadeTicks);
    next->setVisible(true);
    if (old != nullptr) old->fadeTo(0, kFadeTicks);
}

int32_t InstructDialog::mouseDown(int32_t x, int32_t y) {
    const int32_t result = DialogSprite::mouseDown(x, y);
    if (result != ButtonPressed) return result;
    if (m_lastClicked == "bclose") {
        hideWithFade();
        return Closed;
    }
    if (m_lastClicked == "bnext") {
        if (page(m_currentPage + 1) != nullptr) {
            turnTo(m_currentPage + 1);
            enableButton("bback", true);
        }
        enableButton("bnext", m_currentPage < m_pageCount);
    } else if (m_lastClicked == "bback") {
        if (page(m_currentPage - 1) != nullptr) {
            turnTo(m_currentPage - 1);
            enableButton("bnext", true);
        }
        enableButton("bback", m_currentPage > 1);
    }
    return result;
}

} // namespace mph
