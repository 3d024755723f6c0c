// ResourceFile: one registered container in the chain that item look-ups walk.
#pragma once

#include "io/ResourceFileHeader.h"
#include "io/ResourceItem.h"
#include "runtime/Ref.h"
#include "runtime/String.h"

namespace mph {

class ResourceFile : public lang::Object {
    LANG_CLASS(ResourceFile, Object)

public:
    // A name ending in ".dll" or ".DLL" names a library module; any other name a container data file, found
    // with findContainerFile. Throws "Error Opening " followed by the path when the data file cannot be opened.
    explicit ResourceFile(const lang::String& name);
    // A data file over a directory that is already open.
    explicit ResourceFile(lang::Ref<ResourceFileHeader> header);

    // Whether name is a library module's name rather than a data file's.
    static bool isModuleName(const lang::String& name);

    bool isDataFile() const { return m_isDataFile; }
    // The file's path as it was opened ("" for a module or a header given open).
    const lang::String& getPath() const { return m_path; }
    // A language overlay sits in front of the game's container and answers only for the items it holds.
    bool isOverlay() const { return m_overlay; }
    void setOverlay(bool on) { m_overlay = on; }
    // The loaded library module; always null on Linux, where modules hold no items.
    void* getModule() const { return m_module; }
    ResourceFileHeader* getHeader() const { return m_header.get(); }
    ResourceFile* getNext() const { return m_next.get(); }
    void setNext(lang::Ref<ResourceFile> next) { m_next = std::move(next); }

    // This file's answer for name: an item, or null. found says whether the search must stop here: it goes
    // on past a file that does not hold the item, so an overlay in front of the game's container answers
    // for the items it carries and every other look-up falls through to the container behind it.
    lang::Ref<ResourceItem> lookUp(const lang::String& name, bool& found);

private:
    void* m_module = nullptr; // library modules hold no items on Linux, so this stays null
    lang::Ref<ResourceFileHeader> m_header;
    bool m_isDataFile = true;
    bool m_overlay = false;
    lang::String m_path;
    lang::Ref<ResourceFile> m_next;
};

} // namespace mph
