// TablePage: the page skeleton, one table section per game, and its rows.
#include "service/TablePage.h"

#include "service/WebText.h"

namespace mph::service {

namespace {

constexpr std::string_view kModes[] = {"S", "N"};

void head(std::string& out, std::string_view title) {
    out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
    out += title;
    out += "</title>\n<link rel=\"stylesheet\" href=\"/style.css\">\n<link rel=\"icon\" href=\"/icon\">\n"
           "</head>\n<body>\n<header class=\"banner\">\n<a class=\"logo\" href=\"/\">"
           "<img src=\"/logo\" alt=\"Morphella\" width=\"460\" height=\"220\"></a>\n";
}

void foot(std::string& out) {
    out += "<footer>\n<p>A <span class=\"tick\">&#10003;</span> marks a verified score: the service played "
           "its recorded game again, move by move, to that very score. Download a recording "
           "(<code>.mphr</code>) to watch it in Morphella.</p>\n<nav>";
    for (const std::string_view mode : kModes) {
        out += "<a href=\"/table.html?mode=";
        out += mode;
        out += "\">";
        out += TablePage::title(mode);
        out += "</a> <a class=\"json\" href=\"/table.json?mode=";
        out += mode;
        out += "\">JSON</a> ";
    }
    out += "</nav>\n</footer>\n</body>\n</html>\n";
}

void date(std::string& out, const std::string& created) {
    // "2026-05-01T12:34:56Z": the day is shown, the moment is kept for machines.
    if (created.size() < 10) return;
    out += "<time datetime=\"";
    WebText::html(created, out);
    out += "\">";
    WebText::html(std::string_view(created).substr(0, 10), out);
    out += "</time>";
}

void mark(std::string& out, std::string_view mode, const ScoreRow& row) {
    if (row.replay) {
        const std::string id = std::to_string(row.id);
        out += "<a class=\"replay\" href=\"/replay/";
        out += id;
        out += "\" download=\"";
        out += TablePage::replayFileName(mode, row.id);
        out += "\" title=\"Verified. Download the recording\"><span class=\"tick\">&#10003;</span>"
               "<span class=\"label\"> recording</span></a>";
    } else if (row.verified) {
        out += "<span class=\"tick\" title=\"Verified\">&#10003;</span>";
    } else {
        out += "<span class=\"unverified\" title=\"Not verified\">&#8211;</span>";
    }
}

void row(std::string& out, std::string_view mode, const ScoreRow& r) {
    out += "<tr><td class=\"rank\">";
    out += std::to_string(r.rank);
    out += "</td><td class=\"name\">";
    WebText::html(r.name, out);
    out += "</td><td class=\"num\">";
    WebText::grouped(r.score, out);
    out += "</td><td class=\"num level\">";
    out += std::to_string(r.level);
    out += "</td><td class=\"date\">";
    date(out, r.created);
    out += "</td><td class=\"mark\">";
    mark(out, mode, r);
    out += "</td></tr>\n";
}

// One game's table (its first limit rows) under a heading; a friendly sentence when it is empty.
void section(std::string& out, std::string_view mode, const std::vector<ScoreRow>& rows, size_t limit,
             bool linkToAll) {
    out += "<section class=\"board\" id=\"mode-";
    out += mode;
    out += "\">\n<h2>";
    out += TablePage::title(mode);
    out += "</h2>\n";
    if (rows.empty()) {
        out += "<p class=\"empty\">No scores here yet. Play a ";
        out += mode == "S" ? "timed game" : "game of rising rows";
        out += ", send your score from the game, and this place is yours!</p>\n</section>\n";
        return;
    }
    out += "<table>\n<thead><tr><th scope=\"col\" class=\"rank\">#</th><th scope=\"col\" "
           "class=\"name\">Name</th>"
           "<th scope=\"col\" class=\"num\">Score</th><th scope=\"col\" class=\"num level\">Level</th>"
           "<th scope=\"col\" class=\"date\">Date</th><th scope=\"col\" "
           "class=\"mark\">Verified</th></tr></thead>\n"
           "<tbody>\n";
    for (size_t i = 0; i < rows.size() && i < limit; ++i)
        row(out, mode, rows[i]);
    out += "</tbody>\n</table>\n";
    if (linkToAll && rows.size() > limit) {
        out += "<p class=\"more\"><a href=\"/table.html?mode=";
        out += mode;
        out += "\">The whole table &#8594;</a></p>\n";
    }
    out += "</section>\n";
}

} // namespace

const char* TablePage::title(std::string_view mode) {
    return mode == "S" ? "Timed game" : "Rising rows";
}

std::string TablePage::replayFileName(std::string_view mode, int64_t id) {
    return "morphella-" + std::string(mode) + "-" + std::to_string(id) + ".mphr";
}

std::string TablePage::table(std::string_view mode, const std::vector<ScoreRow>& rows) {
    std::string out;
    out.reserve(2048 + rows.size() * 400);
    head(out, std::string("Morphella world scores: ") + title(mode));
    out += "<h1>World scores</h1>\n</header>\n<main>\n";
    section(out, mode, rows, rows.size(), false);
    out += "</main>\n";
    foot(out);
    return out;
}

std::string TablePage::front(const std::vector<ScoreRow>& timed, const std::vector<ScoreRow>& rising) {
    std::string out;
    out.reserve(4096 + (timed.size() + rising.size()) * 400);
    head(out, "Morphella world scores");
    out += "<h1>World scores</h1>\n</header>\n<main class=\"pair\">\n";
    section(out, "S", timed, kFrontRows, true);
    section(out, "N", rising, kFrontRows, true);
    out += "</main>\n";
    foot(out);
    return out;
}

} // namespace mph::service
