// morphella-tool image: describes pictures and converts them to PNG.
#include "Tool.h"

#include "runtime/Exception.h"

#include "gfx/Image.h"
#include "gfx/PngWriter.h"
#include "io/Resources.h"
#include "runtime/Ref.h"

#include <cstdio>

namespace {

const char* const kUsageText =
    "image info FILE | +NAME --container BIN   prints WIDTHxHEIGHT and the alpha flag of a picture\n"
    "image convert IN OUT.png [--container BIN]  writes a picture's pixels as an RGBA PNG";

// With --container, registers that file alone so "+NAME" pictures come from it. False when it was
// given but cannot be opened (the message is already printed).
bool useContainer(tool::Args& args, int& status) {
    std::string container;
    if (!tool::takeOption(args, "--container", container)) return true;
    mph::clearResourceFiles();
    // A path with a directory part keeps the search from picking another file of the same name.
    const std::string path = container.find('/') == std::string::npos ? "./" + container : container;
    try {
        mph::addResourceFile(lang::String(path.c_str()));
    } catch (lang::Exception* e) {
        status = tool::usageError(e->getMessage().str());
        e->release();
        return false;
    }
    return true;
}

int info(tool::Args args) {
    int status = tool::kOk;
    if (!useContainer(args, status)) return status;
    if (args.size() != 1) return tool::usageError("usage: image info FILE | +NAME --container BIN");
    auto image = lang::make<mph::Image>(lang::String(args[0].c_str()));
    if (!image->hasPixels()) {
        std::fprintf(stderr, "morphella-tool: no picture in '%s'\n", args[0].c_str());
        return tool::kMissing;
    }
    std::printf("%dx%d alpha=%d\n", image->getWidth(), image->getHeight(), image->getAlphaFlag() ? 1 : 0);
    return tool::kOk;
}

int convert(tool::Args args) {
    int status = tool::kOk;
    if (!useContainer(args, status)) return status;
    if (args.size() != 2) return tool::usageError("usage: image convert IN OUT.png");
    auto image = lang::make<mph::Image>(lang::String(args[0].c_str()));
    if (!image->hasPixels()) return tool::usageError("no picture in '" + args[0] + "'");
    if (!mph::PngWriter::writeFile(*image, args[1].c_str()))
        return tool::usageError("cannot write '" + args[1] + "'");
    return tool::kOk;
}

int run(const tool::Args& args) {
    if (args.empty()) return tool::usageError("usage: image info|convert ...");
    const tool::Args rest(args.begin() + 1, args.end());
    if (args[0] == "info") return info(rest);
    if (args[0] == "convert") return convert(rest);
    return tool::usageError("unknown image command '" + args[0] + "'");
}

const tool::Registration registration("image", kUsageText, run);

} // namespace
