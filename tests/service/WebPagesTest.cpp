// The pages and JSON of the world tables over HTTP on loopback: hostile names stay text, conditional
// requests answer 304 until the table changes, bad modes are refused, the pages pass an HTML5 validator
// and a real browser renders their rows.
#include "HttpGet.h"
#include "TempDir.h"
#include "service/HttpServer.h"
#include "service/ReplayDownload.h"
#include "service/ScoreService.h"
#include "service/SqliteStore.h"
#include "service/WebService.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

using namespace mph::service;

namespace {

const std::string kRecording("MPHR\0\x01\xff recorded game", 20);

// A service with pages and downloads on SQLite, listing unverified entries too.
class WebSite {
public:
    WebSite()
        : m_store(m_dir.path() + "/scores.db"), m_scores(m_store, config()), m_web(m_scores),
          m_downloads(m_store) {
        m_scores.install(m_router);
        m_web.install(m_router);
        m_downloads.install(m_router);
        HttpServer::Config server;
        server.bind = "127.0.0.1";
        server.port = 0;
        server.logFd = -1;
        m_server = std::make_unique<HttpServer>(m_router, server);
        m_server->start();
    }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(m_server->port()) + path;
    }
    HttpReply get(const std::string& path, const std::string& header = std::string()) const {
        return httpGet(url(path), nullptr, header);
    }
    SqliteStore& store() { return m_store; }
    ScoreService& scores() { return m_scores; }
    const std::string& dir() const { return m_dir.path(); }

    // Hostile names in the timed game; in rising rows a verified entry with its recording. Returns the
    // verified entry's id.
    int64_t fill() {
        m_store.record({"S", "<script>", 1, 4, 9000, ""});
        m_store.record({"S", "\"&'", 2, 3, 8000, ""});
        m_store.record({"S", std::string("A\x01\x7f\x85\xe9", 5), 3, 2, 1234567, ""});
        const int64_t id = m_store.record({"N", "Ann", 4, 5, 700, ""}).id;
        Verification v{"N", "Ann", 4, 5, 700, "00000000000000a1", true, "", 100, kRecording};
        EXPECT_EQ(m_store.verify(v), VerifyResult::Verified);
        m_scores.tableChanged("N");
        return id;
    }

private:
    static ScoreService::Config config() {
        ScoreService::Config c;
        c.requireReplay = false;
        return c;
    }
    TempDir m_dir;
    SqliteStore m_store;
    ScoreService m_scores;
    WebService m_web;
    ReplayDownload m_downloads;
    Router m_router;
    std::unique_ptr<HttpServer> m_server;
};

// A program's exit status and what it printed (both streams), run through the shell.
int run(const std::string& command, std::string& output) {
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return -1;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool installed(const std::string& program) {
    std::string ignored;
    return run("command -v " + program, ignored) == 0;
}

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

} // namespace

TEST(WebPages, HostileNamesStayTextInThePagesAndTheJson) {
    WebSite site;
    const int64_t id = site.fill();
    for (const char* path : {"/", "/table.html?mode=S"}) {
        const HttpReply page = site.get(path);
        ASSERT_EQ(page.status, 200) << path;
        EXPECT_EQ(page.contentType, "text/html; charset=utf-8");
        EXPECT_EQ(page.header("Content-Security-Policy"), "default-src 'self'");
        EXPECT_EQ(page.header("X-Content-Type-Options"), "nosniff");
        EXPECT_EQ(page.body.find("<script"), std::string::npos) << path;
        EXPECT_NE(page.body.find(">&lt;script&gt;</td>"), std::string::npos);
        EXPECT_NE(page.body.find(">&quot;&amp;&#39;</td>"), std::string::npos);
        // Control bytes as their pictures (U+2401, U+2421), a C1 control as U+FFFD, Latin-1 as UTF-8.
        EXPECT_NE(page.body.find(">A\xe2\x90\x81\xe2\x90\xa1\xef\xbf\xbd\xc3\xa9</td>"), std::string::npos);
        EXPECT_NE(page.body.find(">1,234,567</td>"), std::string::npos);
    }
    const HttpReply front = site.get("/");
    EXPECT_NE(front.body.find("href=\"/replay/" + std::to_string(id) + "\" download=\"morphella-N-" +
                              std::to_string(id) + ".mphr\""),
              std::string::npos);

    HttpReply json = site.get("/table.json?mode=S");
    ASSERT_EQ(json.status, 200);
    EXPECT_EQ(json.contentType, "application/json");
    EXPECT_EQ(json.header("X-Content-Type-Options"), "nosniff");
    EXPECT_NE(json.body.find("{\"rank\":1,\"name\":\"A\\u0001\\u007f\\u0085\xc3\xa9\",\"score\":1234567,"
                             "\"level\":2,\"created\":\""),
              std::string::npos)
        << json.body;
    EXPECT_NE(json.body.find("\"name\":\"\\u003cscript\\u003e\""), std::string::npos);
    EXPECT_NE(json.body.find("\"name\":\"\\\"\\u0026'\""), std::string::npos);
    EXPECT_EQ(count(json.body, "\"verified\":false,\"replay\":null}"), 3u);

    const std::vector<ScoreRow> rows = site.store().top("N", 100);
    ASSERT_EQ(rows.size(), 1u);
    json = site.get("/table.json?mode=N");
    EXPECT_EQ(json.body,
              "{\"mode\":\"N\",\"entries\":[{\"rank\":1,\"name\":\"Ann\",\"score\":700,\"level\":5,"
              "\"created\":\"" +
                  rows[0].created + "\",\"verified\":true,\"replay\":\"/replay/" + std::to_string(id) +
                  "\"}]}\n");
    // The game's reply names the recording too.
    EXPECT_NE(site.get("/globalhs.jsp?game=mphl&mode=N")
                  .body.find("<verified>1</verified><replay>" + std::to_string(id) + "</replay></entry>"),
              std::string::npos);
}

TEST(WebPages, ConditionalRequestsAnswer304UntilTheContentChanges) {
    WebSite site;
    const int64_t id = site.fill();
    for (const std::string& path :
         {std::string("/"), std::string("/table.html?mode=S"), std::string("/table.json?mode=N"),
          std::string("/style.css"), std::string("/logo"), std::string("/icon"),
          "/replay/" + std::to_string(id)}) {
        const HttpReply first = site.get(path);
        ASSERT_EQ(first.status, 200) << path;
        const std::string tag = first.header("ETag");
        ASSERT_EQ(tag.size(), tag.find('"', 1) + 1) << path << " has the quoted tag " << tag;
        EXPECT_NE(first.header("Cache-Control").find("max-age="), std::string::npos) << path;
        for (const std::string& condition : {tag, "W/" + tag, "\"other\", " + tag}) {
            const HttpReply again = site.get(path, "If-None-Match: " + condition);
            EXPECT_EQ(again.status, 304) << path << " " << condition;
            EXPECT_TRUE(again.body.empty());
            EXPECT_EQ(again.header("ETag"), tag);
        }
        EXPECT_EQ(site.get(path, "If-None-Match: \"other\"").status, 200) << path;
        EXPECT_EQ(site.get(path, "If-None-Match: " + tag.substr(0, tag.size() - 1)).status, 200)
            << "malformed";
    }
    const HttpReply before = site.get("/table.html?mode=S");
    site.store().record({"S", "Bo", 9, 1, 10, ""});
    site.scores().tableChanged("S");
    for (const char* path : {"/table.html?mode=S", "/"}) {
        const HttpReply after = site.get(path, "If-None-Match: " + before.header("ETag"));
        EXPECT_EQ(after.status, 200) << path;
        EXPECT_NE(after.body.find(">Bo</td>"), std::string::npos);
    }
}

TEST(WebPages, RefusesBadModesAndIdsAndSaysSoWhenATableIsEmpty) {
    WebSite site;
    for (const char* path : {"/table.html", "/table.html?mode=X",
                             "/table.json?mode=", "/table.json?mode=S&mode=N", "/table.html?mode=%zz"})
        EXPECT_EQ(site.get(path).status, 400) << path;
    HttpReply empty = site.get("/table.html?mode=N");
    EXPECT_EQ(empty.status, 200);
    EXPECT_NE(empty.body.find("<p class=\"empty\">No scores here yet."), std::string::npos);
    EXPECT_EQ(empty.body.find("<table"), std::string::npos);
    EXPECT_EQ(site.get("/table.json?mode=N").body, "{\"mode\":\"N\",\"entries\":[]}\n");

    const int64_t id = site.fill();
    const std::string unverified = std::to_string(site.store().top("S", 1)[0].id);
    for (const std::string& path :
         {"/replay/" + unverified, "/replay/" + std::to_string(id + 100), "/replay/0" + std::to_string(id),
          std::string("/replay/"), std::string("/replay/1x"), std::string("/replay/-1"),
          std::string("/replay/99999999999999999999"), std::string("/replay/9223372036854775808")})
        EXPECT_EQ(site.get(path).status, 404) << path;
    const HttpReply download = site.get("/replay/" + std::to_string(id));
    EXPECT_EQ(download.status, 200);
    EXPECT_EQ(download.body, kRecording);
    EXPECT_EQ(download.contentType, "application/octet-stream");
    EXPECT_EQ(download.header("Content-Disposition"),
              "attachment; filename=\"morphella-N-" + std::to_string(id) + ".mphr\"");
    EXPECT_EQ(httpGet(site.url("/replay/" + std::to_string(id)), "POST").status, 405);
    EXPECT_EQ(httpGet(site.url("/"), "DELETE").status, 405);
    site.store().hide("Ann", true);
    EXPECT_EQ(site.get("/replay/" + std::to_string(id)).status, 404) << "kept off the tables";
}

TEST(WebPages, PagesAreValidHtml5) {
    if (!installed("tidy")) GTEST_SKIP() << "tidy is not installed (scripts/install-deps installs it)";
    WebSite site;
    std::vector<std::pair<std::string, std::string>> pages = {{"empty", site.get("/").body}};
    site.fill();
    pages.emplace_back("front", site.get("/").body);
    pages.emplace_back("table", site.get("/table.html?mode=S").body);
    for (const auto& [name, body] : pages) {
        const std::string file = site.dir() + "/" + name + ".html";
        std::ofstream(file, std::ios::binary) << body;
        std::string output;
        EXPECT_EQ(run("tidy -q -e " + file, output), 0) << name << ":\n" << output;
    }
}

// Debian's Chromium in headless mode loads the page from this process's service; its DOM holds the rows
// and it takes a screenshot.
TEST(WebPages, ABrowserRendersTheRows) {
    if (!installed("chromium"))
        GTEST_SKIP() << "chromium is not installed (scripts/install-deps installs it)";
    WebSite site;
    const int64_t id = site.fill();
    const std::string browser = "timeout 120 chromium --headless --no-sandbox --disable-gpu --no-first-run "
                                "--user-data-dir=" +
                                site.dir() + "/profile ";
    std::string dom;
    ASSERT_EQ(run(browser + "--dump-dom " + site.url("/"), dom), 0) << dom;
    // Rendered text, not markup: the browser serialises the hostile name escaped again.
    EXPECT_NE(dom.find(">&lt;script&gt;</td>"), std::string::npos) << dom;
    EXPECT_NE(dom.find(">Ann</td>"), std::string::npos);
    EXPECT_NE(dom.find("/replay/" + std::to_string(id)), std::string::npos);
    EXPECT_EQ(count(dom, "<tr>"), 4u + 2u) << "four rows under two heads";

    const std::string shot = site.dir() + "/page.png";
    std::string output;
    ASSERT_EQ(
        run(browser + "--window-size=390,844 --screenshot=" + shot + " " + site.url("/table.html?mode=S"),
            output),
        0)
        << output;
    std::ifstream in(shot, std::ios::binary);
    std::stringstream png;
    png << in.rdbuf();
    EXPECT_EQ(png.str().substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_GT(png.str().size(), 10000u) << "a page with colours and text, not a blank picture";
}
