// GameCanvas2: loading the data script into the display list and the sprite list helpers.
#include "app/GameCanvas2.h"

#include "audio/AudioClip.h"
#include "runtime/Exception.h"
#include "runtime/SyncGuard.h"
#include "sprites/DataLoader.h"
#include "sprites/Sprite.h"

using namespace lang;

namespace mph {

GameCanvas2::GameCanvas2() : m_spritesByName(make<Hashtable>()) {}

Object* GameCanvas2::createSprite(const String&, IntArray*, ImageArray*, DataLoader*) {
    return nullptr;
}

void GameCanvas2::onDataLoaded(DataLoader*) {
    invalidate();
    m_loaded.store(true);
}

bool GameCanvas2::loadData() {
    Ref<DataLoader> loader = make<DataLoader>(m_directory, this, m_settings.get());
    if (!loader->load(m_dataItemName)) return false;
    {
        SyncGuard guard(this);
        // Strings and sounds are kept with references of the canvas's own.
        for (int32_t i = 0; i < m_strings.length; ++i)
            if (m_strings.data[i] != nullptr) m_strings.data[i]->release();
        m_strings.assign(loader->getStrings());
        for (int32_t i = 0; i < m_strings.length; ++i)
            if (m_strings.data[i] != nullptr) m_strings.data[i]->addRef();
        m_data.assign(loader->getData());
        for (int32_t i = 0; i < m_sounds.length; ++i)
            if (m_sounds.data[i] != nullptr) m_sounds.data[i]->release();
        m_sounds.assign(loader->getSounds());
        for (int32_t i = 0; i < m_sounds.length; ++i)
            if (m_sounds.data[i] != nullptr) m_sounds.data[i]->addRef();

        Vector& list = sprites();
        SyncGuard listGuard(&list);
        list.removeAllElements();
        if (Vector* loaded = loader->getSprites()) {
            SyncGuard loadedGuard(loaded);
            for (int32_t i = 0; i < loaded->size(); ++i)
                list.addElement(loaded->elementAt(i));
        }
        if (Hashtable* names = loader->getSpritesByName()) m_spritesByName = retain(names);
    }
    // The pictures belong to the sprites they were given to; without the loader's table a picture no
    // sprite holds is freed now, and one a hidden sprite holds can let its pixels go.
    loader->getImages().clear();
    onDataLoaded(loader.get());
    return true;
}

void GameCanvas2::addSprite(Sprite* sprite, int32_t index, const String& name) {
    if (sprite == nullptr) return;
    Vector& list = sprites();
    {
        SyncGuard guard(&list);
        // Kept alive while it moves, in case the list held the only reference.
        Ref<Sprite> keep = retain(sprite);
        list.removeElement(sprite);
        if (index < 0 || index >= list.size())
            list.addElement(sprite);
        else
            list.insertElementAt(sprite, index);
    }
    if (!name.isEmpty()) m_spritesByName->put(name, sprite);
}

int32_t GameCanvas2::indexOfSprite(Sprite* sprite) {
    Vector& list = sprites();
    SyncGuard guard(&list);
    return list.indexOf(sprite);
}

Sprite* GameCanvas2::spriteAt(int32_t index) {
    Vector& list = sprites();
    SyncGuard guard(&list);
    if (index < 0 || index >= list.size()) return nullptr;
    return static_cast<Sprite*>(list.elementAt(index));
}

Sprite* GameCanvas2::findSprite(const char* name) {
    if (name == nullptr) return nullptr;
    Object* found = m_spritesByName->get(name);
    return found != nullptr && found->instanceOf("Sprite") ? static_cast<Sprite*>(found) : nullptr;
}

} // namespace mph
