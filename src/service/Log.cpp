// Log: time stamps and whole-line writes.
#include "service/Log.h"

#include <unistd.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <ctime>

namespace mph::service::log {

namespace {

std::atomic<Format> g_format{Format::Stamped};

} // namespace

void setFormat(Format format) {
    g_format.store(format);
}

Format format() {
    return g_format.load();
}

std::string stamp() {
    if (g_format.load() == Format::Journal) return {};
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>(ms));
    return text;
}

void raw(int fd, std::string_view text) {
    if (fd < 0) return;
    std::string out = stamp();
    out.append(text);
    out.push_back('\n');
    // One write per line keeps lines whole when several threads log at once.
    [[maybe_unused]] const ssize_t written = ::write(fd, out.data(), out.size());
}

void line(const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    raw(2, std::string("morphella-scored: ") + text);
}

std::string escaped(std::string_view text, size_t max) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (size_t i = 0; i < text.size() && i < max; ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b > 0x20 && b < 0x7F && b != '%') {
            out += static_cast<char>(b);
        } else if (b == '%' && i + 2 < text.size() &&
                   std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
                   std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out += '%'; // already an escape
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    if (text.size() > max) out += "...";
    return out;
}

} // namespace mph::service::log
