// Log: the service's lines on standard error, each written whole, with a UTC time stamp unless journald
// (which stamps lines itself) takes them.
#pragma once

#include <string>
#include <string_view>

namespace mph::service::log {

enum class Format { Stamped, Journal };

void setFormat(Format format);
Format format();
// "2024-05-01T12:00:00.123Z " for Stamped, "" for Journal.
std::string stamp();
// Writes stamp + "morphella-scored: " + printf-formatted text + "\n" to standard error in one write.
void line(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Writes an already formed line (a newline is added) to fd in one write, after the stamp.
void raw(int fd, std::string_view text);
// Bytes outside printable ASCII as %XX, at most max bytes of the input, so a hostile request can neither
// forge nor flood log lines.
std::string escaped(std::string_view text, size_t max = 300);

} // namespace mph::service::log
