// The reply document: exact bytes, escaping, and that an XML reader gets every name's bytes back.
#include "service/TableXml.h"
#include "service/XmlWriter.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

using namespace mph::service;

namespace {

// The "name" texts of a reply as libxml2 reads them, turned back from UTF-8 into Latin-1 bytes.
std::vector<std::string> namesAsRead(const std::string& xml) {
    std::vector<std::string> names;
    xmlDocPtr doc =
        xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "reply.xml", nullptr, XML_PARSE_NONET);
    if (doc == nullptr) return names;
    for (xmlNodePtr entry = xmlDocGetRootElement(doc)->children; entry != nullptr; entry = entry->next) {
        if (entry->type != XML_ELEMENT_NODE) continue;
        for (xmlNodePtr field = entry->children; field != nullptr; field = field->next) {
            if (xmlStrcmp(field->name, BAD_CAST "name") != 0) continue;
            xmlChar* text = xmlNodeGetContent(field);
            std::string latin1;
            unsigned char out[64];
            int outLen = sizeof out, inLen = xmlStrlen(text);
            if (UTF8Toisolat1(out, &outLen, text, &inLen) >= 0)
                latin1.assign(reinterpret_cast<char*>(out), outLen);
            names.push_back(latin1);
            xmlFree(text);
        }
    }
    xmlFreeDoc(doc);
    return names;
}

} // namespace

TEST(XmlReply, EscapesMarkupAndReplacesBytesXmlCannotCarry) {
    std::string out;
    XmlWriter::escape("<a href=\"x\">&'\x01\t\xe9\xff", out);
    EXPECT_EQ(out, "&lt;a href=&quot;x&quot;&gt;&amp;&apos;?\t\xe9\xff");
}

TEST(XmlReply, DocumentBytesWithEntriesAndHighlight) {
    const std::vector<ScoreRow> rows = {{"Ann", 900, 4, 1, true, 17, "2026-05-01T12:34:56Z", true},
                                        {"B&B", 800, 3, 2, false, 18, "2026-05-01T12:34:57Z", false}};
    EXPECT_EQ(TableXml::document(TableXml::entries(rows), 2),
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<highscores>\n"
              "<entry><name>Ann</name><score>900</score><level>4</level><rank>1</rank><verified>1</verified>"
              "<replay>17</replay></entry>\n"
              "<entry><name>B&amp;B</name><score>800</score><level>3</level><rank>2</rank></entry>\n"
              "<highlight>2</highlight>\n</highscores>\n");
    EXPECT_EQ(TableXml::document("", 0),
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<highscores>\n</highscores>\n");
}

TEST(XmlReply, AReaderGetsHostileAndLatin1NamesBackExactly) {
    const std::vector<std::string> names = {"Jos\xe9",
                                            "Stra\xdf"
                                            "e",
                                            "<b>'&\"", "');--", "]]>\xff"};
    std::vector<ScoreRow> rows;
    for (const std::string& n : names)
        rows.push_back({n, 1, 1, static_cast<int32_t>(rows.size()) + 1, false, 0, "", false});
    EXPECT_EQ(namesAsRead(TableXml::document(TableXml::entries(rows), 0)), names);
}
