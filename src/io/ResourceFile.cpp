// ResourceFile: opening a registered container and answering look-ups for it.
#include "io/ResourceFile.h"

#include "io/Resources.h"

using namespace lang;

namespace mph {

bool ResourceFile::isModuleName(const String& name) { return name.endsWith(".dll") || name.endsWith(".DLL"); }

ResourceFile::ResourceFile(const String& name) {
    if (isModuleName(name)) {
        // A Windows library cannot be loaded here; it stays registered and answers every look-up with null.
        m_isDataFile = false;
        return;
    }
    const String path = findContainerFile(name);
    m_path = path.isEmpty() ? name : path;
    m_header = make<ResourceFileHeader>(m_path);
}

ResourceFile::ResourceFile(Ref<ResourceFileHeader> header) : m_header(std::move(header)) {}

Ref<ResourceItem> ResourceFile::lookUp(const String& name, bool& found) {
    found = false;
    if (!m_isDataFile || !m_header) return nullptr;
    Ref<ResourceItem> item = m_header->getItem(name);
    found = item != nullptr;
    return item;
}

} // namespace mph
