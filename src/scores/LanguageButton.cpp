// LanguageButton: listing the languages, stepping through them and showing each one's own pictures.
#include "scores/LanguageButton.h"

#include "gfx/Image.h"
#include "io/LanguageChoice.h"
#include "io/LanguageOverlay.h"
#include "io/User.h"
#include "runtime/Cast.h"
#include "sprites/ButtonSprite.h"
#include "sprites/DialogSprite.h"

using namespace lang;

namespace mph {

namespace {

// The picture item of a language, decoded; null when the language lacks it or it does not decode.
Ref<Image> pictureOf(const std::string& code, const char* item) {
    Ref<ResourceItem> bytes = LanguageOverlay::itemOf(code, String(item));
    if (!bytes || bytes->getData() == nullptr || bytes->getLength() <= 0) return nullptr;
    auto image = make<Image>(bytes->getData(), static_cast<size_t>(bytes->getLength()));
    return image->hasPixels() ? image : nullptr;
}

const std::string kNone;

} // namespace

void LanguageButton::bind(DialogSprite* dialog) {
    m_button = dialog != nullptr ? retain(as<ButtonSprite>(dialog->findChild("blanguage"))) : nullptr;
    m_note = dialog != nullptr ? retain(as<AnimateSprite>(dialog->findChild("langnote"))) : nullptr;
}

bool LanguageButton::isBound() const {
    return m_button != nullptr;
}

const std::string& LanguageButton::chosen() const {
    return m_index < m_codes.size() ? m_codes[m_index] : kNone;
}

bool LanguageButton::noteShown() const {
    return m_note && m_note->isVisible();
}

void LanguageButton::prepare(User* settings) {
    if (!m_button) return;
    m_codes = {LanguageChoice::kEnglish};
    const std::vector<std::string> overlays = LanguageOverlay::availableCodes();
    m_codes.insert(m_codes.end(), overlays.begin(), overlays.end());
    const std::string stored = settings != nullptr ? settings->getString(kSetting, "").str() : std::string();
    std::string wanted = stored.empty() ? std::string() : LanguageChoice::match(stored, overlays);
    if (wanted.empty()) wanted = LanguageOverlay::current();
    m_index = 0;
    for (size_t i = 0; i < m_codes.size(); ++i)
        if (m_codes[i] == wanted) m_index = i;
    show();
}

void LanguageButton::step(User* settings) {
    if (!m_button || m_codes.empty()) return;
    m_index = (m_index + 1) % m_codes.size();
    if (settings != nullptr) settings->setString(kSetting, String(std::string_view(chosen())));
    show();
}

void LanguageButton::show() {
    const std::string& code = chosen();
    if (Ref<Image> picture = pictureOf(code, "btnlanguage")) {
        const int32_t state = m_button->getState();
        m_button->setImageGrid(picture.get(), 3, 1);
        m_button->setState(state);
    }
    if (!m_note) return;
    const bool later = code != LanguageOverlay::current();
    if (later) {
        if (Ref<Image> picture = pictureOf(code, "langnote")) m_note->setImageGrid(picture.get(), 1, 1);
    }
    m_note->setVisible(later);
}

} // namespace mph
