// Fuzzes the data script loader and the sprites it makes (the game's classes included): the input is the main
// script and, split at the first 0xFE byte, a nested script any container definition may name as "+n"; both
// are read from an in-memory container.
#include "sprites/DataLoader.h"
#include "game/GameClasses.h"
#include "gfx/GraphicsI.h"
#include "gfx/Image.h"
#include "gfx/PngWriter.h"
#include "io/ByteArrayInputStream.h"
#include "io/ContainerWriter.h"
#include "io/ResourceFile.h"
#include "io/ResourceFileHeader.h"
#include "io/Resources.h"
#include "sprites/Sprite.h"

#include <algorithm>
#include <cstdint>
#include <vector>

using namespace lang;
using namespace mph;

namespace {

std::vector<uint8_t> smallPicture() {
    Image image(6, 4, 1, false);
    for (int i = 0; i < 24; ++i)
        image.getPixels()[i] = 0xFF000000u | static_cast<uint32_t>(i * 997);
    std::vector<uint8_t> bytes;
    PngWriter::encode(image, bytes);
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<uint8_t> picture = smallPicture();
    static const int32_t classes = registerGameClasses();
    (void)classes;
    DataLoader::setErrorReporter([](const String&) {});

    const uint8_t* split = std::find(data, data + size, 0xFE);
    ContainerWriter writer;
    writer.add("datafile", std::vector<uint8_t>(data, split));
    writer.add("n", std::vector<uint8_t>(split == data + size ? split : split + 1, data + size));
    writer.add("p", picture);
    writer.add("background", picture);
    const std::vector<uint8_t> bytes = writer.toBytes();
    const auto length = static_cast<int32_t>(bytes.size());
    auto header = make<ResourceFileHeader>(make<ByteArrayInputStream>(bytes.data(), length), length);
    addResourceFile(make<ResourceFile>(header));
    {
        // The base directory does not exist, so disk names in the script find nothing.
        Ref<DataLoader> loader = adopt(new DataLoader(String("/nonexistent-mph-fuzz"), nullptr, nullptr));
        loader->load("+datafile");
        // Whatever the script made must also step and paint without harm.
        if (Vector* sprites = loader->getSprites()) {
            Ref<Image> canvas = make<Image>(64, 48, 1, false);
            Ref<Graphics> g = adopt<Graphics>(canvas->getGraphics());
            for (int32_t i = 0; i < sprites->size(); ++i) {
                auto* sprite = dynamic_cast<Sprite*>(sprites->elementAt(i));
                if (sprite == nullptr) continue;
                for (int32_t tick = 0; tick < 3; ++tick) {
                    lang::Rectangle changed;
                    sprite->step(tick, changed);
                }
                sprite->paint(g.get());
            }
            g->dispose();
        }
    }
    clearResourceFiles();
    return 0;
}
