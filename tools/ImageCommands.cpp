// morphella-tool image: describes pictures and converts them to PNG.
#include "Tool.h"

#include "gfx/Image.h"
#include "gfx/PngWriter.h"
#include "runtime/Ref.h"

#include <cstdio>

namespace {

const char* const kUsageText = "image info FILE           prints WIDTHxHEIGHT and the alpha flag of a picture\n"
                               "image convert IN OUT.png  writes a picture's pixels as an RGBA PNG";

int info(const tool::Args& args) {
    if (args.size() != 1) return tool::usageError("usage: image info FILE");
    auto image = lang::make<mph::Image>(lang::String(args[0].c_str()));
    if (!image->hasPixels()) {
        std::fprintf(stderr, "morphella-tool: no picture in '%s'\n", args[0].c_str());
        return tool::kMissing;
    }
    std::printf("%dx%d alpha=%d\n", image->getWidth(), image->getHeight(), image->getAlphaFlag() ? 1 : 0);
    return tool::kOk;
}

int convert(const tool::Args& args) {
    if (args.size() != 2) return tool::usageError("usage: image convert IN OUT.png");
    auto image = lang::make<mph::Image>(lang::String(args[0].c_str()));
    if (!image->hasPixels()) return tool::usageError("no picture in '" + args[0] + "'");
    if (!mph::PngWriter::writeFile(*image, args[1].c_str())) return tool::usageError("cannot write '" + args[1] + "'");
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
