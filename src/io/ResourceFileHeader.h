// ResourceFileHeader: the open directory of a container data file and the reading of its items.
#pragma once

#include "io/FileItem.h"
#include "io/InputStream.h"
#include "runtime/Hashtable.h"
#include "runtime/Ref.h"
#include "runtime/String.h"

#include <string>
#include <vector>

namespace mph {

class ResourceFileHeader : public lang::Object {
    LANG_CLASS(ResourceFileHeader, Object)

public:
    // One directory entry as stored, in directory order.
    struct Entry {
        lang::String name;
        uint32_t offset;
        uint32_t length;
    };

    // Opens path and reads its directory; throws "Error Opening " followed by the path when it cannot.
    explicit ResourceFileHeader(const lang::String& path);
    // Reads the directory of a container held by stream, which holds size bytes; the header keeps the stream.
    ResourceFileHeader(lang::Ref<InputStream> stream, int64_t size);
    ResourceFileHeader(const ResourceFileHeader&) = delete;
    ResourceFileHeader& operator=(const ResourceFileHeader&) = delete;
    ~ResourceFileHeader() override;

    // A newly loaded copy of the item name, or null when the directory lacks it. Bytes the file does not
    // hold read as zeros, and a length beyond the whole file is cut to the file's size.
    lang::Ref<FileItem> getItem(const lang::String& name);

    const std::vector<Entry>& entries() const { return m_entries; }
    const std::vector<uint8_t>& block() const { return m_block; }
    int32_t getBlockSize() const { return static_cast<int32_t>(m_block.size()); }
    int64_t fileSize() const { return m_size; }

    // Whether the file is whole: the directory was read to its last entry, every item lies inside the file
    // and, when the block carries a writer's seal, the items' bytes still give its checksum. Reads the whole
    // file for the seal. reason says what is wrong when it is not.
    bool checkIntact(std::string& reason);

private:
    void readDirectory();
    bool readBytes(uint8_t* out, int64_t count);
    bool readWord(uint32_t& value);

    lang::Ref<InputStream> m_stream;
    int64_t m_size;
    int64_t m_position = 0; // where the directory reader stands
    std::vector<uint8_t> m_block;
    lang::Hashtable m_directory;
    std::vector<Entry> m_entries;
    bool m_directoryComplete = false;
};

} // namespace mph
