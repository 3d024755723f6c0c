// Encoding the music as an Ogg Vorbis stream, the form the game plays it in.
#include "Sounds.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace datagen {

namespace {

// Every build writes the same bytes: the stream's serial number is fixed, and the encoder itself has no
// other source of variation.
constexpr int kSerial = 0x4d504831;
// Vorbis quality (-0.1 to 1): 0.5 keeps the pad, bass and marimba clean in mono at 22050 Hz (about
// 34 kbit/s, a tenth of the PCM it replaces).
constexpr float kQuality = 0.5f;
constexpr int kBlock = 1024;

struct Encoder {
    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state stream;
    bool started = false;
    Encoder() {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
    }
    ~Encoder() {
        if (started) {
            ogg_stream_clear(&stream);
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
        }
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }
};

void writePage(FILE* f, const ogg_page& page) {
    if (std::fwrite(page.header, 1, page.header_len, f) != size_t(page.header_len) ||
        std::fwrite(page.body, 1, page.body_len, f) != size_t(page.body_len))
        throw std::runtime_error("cannot write the music");
}

} // namespace

void writeOgg(const Samples& s, const std::string& path) {
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!f) throw std::runtime_error("cannot write " + path);
    Encoder e;
    if (vorbis_encode_init_vbr(&e.info, 1, kSampleRate, kQuality) != 0)
        throw std::runtime_error("the Vorbis encoder refused its settings");
    vorbis_comment_add_tag(&e.comment, "TITLE", "Morphella");
    vorbis_analysis_init(&e.dsp, &e.info);
    vorbis_block_init(&e.dsp, &e.block);
    ogg_stream_init(&e.stream, kSerial);
    e.started = true;

    ogg_packet header, commentPacket, codebooks;
    vorbis_analysis_headerout(&e.dsp, &e.comment, &header, &commentPacket, &codebooks);
    ogg_stream_packetin(&e.stream, &header);
    ogg_stream_packetin(&e.stream, &commentPacket);
    ogg_stream_packetin(&e.stream, &codebooks);
    ogg_page page;
    // The headers end on a page of their own, so the audio starts on a fresh page.
    while (ogg_stream_flush(&e.stream, &page) != 0)
        writePage(f.get(), page);

    size_t at = 0;
    bool ended = false;
    while (!ended) {
        const size_t n = std::min<size_t>(kBlock, s.size() - at);
        if (n == 0) {
            vorbis_analysis_wrote(&e.dsp, 0); // the end of the stream
        } else {
            float** buffer = vorbis_analysis_buffer(&e.dsp, static_cast<int>(n));
            for (size_t i = 0; i < n; ++i)
                buffer[0][i] = static_cast<float>(std::clamp(s[at + i], -1.0, 1.0));
            vorbis_analysis_wrote(&e.dsp, static_cast<int>(n));
            at += n;
        }
        while (vorbis_analysis_blockout(&e.dsp, &e.block) == 1) {
            vorbis_analysis(&e.block, nullptr);
            vorbis_bitrate_addblock(&e.block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&e.dsp, &packet) == 1) {
                ogg_stream_packetin(&e.stream, &packet);
                while (ogg_stream_pageout(&e.stream, &page) != 0) {
                    writePage(f.get(), page);
                    if (ogg_page_eos(&page)) ended = true;
                }
            }
        }
    }
    if (std::fflush(f.get()) != 0) throw std::runtime_error("cannot write " + path);
}

} // namespace datagen
