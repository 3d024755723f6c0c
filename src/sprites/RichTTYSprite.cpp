// RichTTYSprite: markup, line buffers, word wrap, history and run-by-run painting.
#include "sprites/RichTTYSprite.h"

#include "sprites/PaintSupport.h"
#include "sprites/SpriteClasses.h"

#include "gfx/Font.h"
#include "gfx/FontMetrics.h"

using namespace lang;

namespace mph {

namespace {
ClassRecord<RichTTYSprite> richRecord("RichTTYSprite");

int32_t hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads up to count hex digits at p; missing digits count as 0. Advances p past the digits read.
int32_t readHex(const char*& p, int32_t count, int32_t* digits) {
    for (int32_t i = 0; i < count; ++i) {
        const int32_t v = hexValue(*p);
        digits[i] = v < 0 ? 0 : v;
        if (v >= 0) ++p;
    }
    return count;
}

// ASCII's printable characters and Latin-1's (160 to 255, the copyright sign among them): the game's
// messages are translated into languages written with them.
bool printable(int32_t ch) { return (ch >= 32 && ch <= 126) || (ch >= 160 && ch <= 255); }
} // namespace

const Class& SpriteClasses::richTTYSprite() { return richRecord; }

struct RichTTYSprite::Fonts {
    Ref<Font> styles[4]; // regular, bold, italic, bold-italic
    Ref<FontMetrics> metrics;
};

RichTTYSprite::RichTTYSprite() : m_fonts(std::make_unique<Fonts>()) {}
RichTTYSprite::~RichTTYSprite() = default;

int32_t RichTTYSprite::colourBits(uint32_t argb) {
    const int32_t r = (argb >> 20) & 0xF;
    const int32_t g = (argb >> 12) & 0xF;
    const int32_t b = (argb >> 4) & 0xF;
    return (r << 24) | (g << 20) | (b << 16);
}

Color RichTTYSprite::cellColour(int32_t cell) {
    return Color(((cell >> 24) & 0xF) * 16, ((cell >> 20) & 0xF) * 16, ((cell >> 16) & 0xF) * 16);
}

bool RichTTYSprite::initFromDefinition(const ObjectArray&, const IntArray& params) {
    if (params.length < 6) return false;
    setLocation(params[0], params[1]);
    std::optional<uint32_t> background;
    if (params.length >= 7) background = static_cast<uint32_t>(params[6]);
    configure(params[2], params[3], params[4], static_cast<uint32_t>(params[5]), background, true);
    return true;
}

void RichTTYSprite::configureLayout(int32_t width, int32_t height, int32_t lineHeight, int32_t ascent,
                                    uint32_t colour, std::optional<uint32_t> background, bool keepHistory) {
    invalidate();
    m_width = width;
    m_height = height;
    m_background.reset();
    if (background) m_background = Color(*background);
    m_keepHistory = keepHistory;
    m_defaultColour = colourBits(colour);
    m_defaultStyle = 0;
    m_lineHeight = lineHeight > 0 ? lineHeight : 1;
    m_baseline = ascent + 2;
    m_lines = (height - 4) / m_lineHeight;
    if (m_lines < 1) m_lines = 1;
    m_wrapWidth = width - 4;
    m_history.clear();
    for (int32_t i = 0; i < m_lines; ++i) m_history.emplace_back(kMaxColumns, 0);
    m_line = m_column = m_scrollOffset = 0;
    m_currentText = "";
    m_wrapPending = false;
    print("");
    m_currentColour = m_defaultColour;
    m_currentStyle = m_defaultStyle;
    invalidate();
}

void RichTTYSprite::clear() {
    invalidate();
    m_currentText = "";
    m_history.clear();
    for (int32_t i = 0; i < m_lines; ++i) m_history.emplace_back(kMaxColumns, 0);
    m_scrollOffset = m_line = m_column = 0;
    m_wrapPending = false;
    print("");
}

void RichTTYSprite::setScrollOffset(int32_t offset) {
    const int32_t most = getHistorySize() - m_lines;
    if (offset > most) offset = most;
    if (offset < 0) offset = 0;
    if (offset == m_scrollOffset) return;
    invalidate();
    m_scrollOffset = offset;
    invalidate();
}

void RichTTYSprite::print(const char* markup) {
    const char* p = markup ? markup : "";
    while (*p) {
        const char c = *p++;
        if (c != '`') {
            putChar(static_cast<unsigned char>(c));
            continue;
        }
        if (*p == '\0') break;
        if (*p == '`') {
            ++p;
            putChar('`');
            continue;
        }
        const bool off = *p == '/';
        if (off) {
            ++p;
            if (*p == '\0') break;
        }
        const char command = *p++;
        int32_t d[6];
        switch (command) {
        case 'C':
            readHex(p, 6, d);
            m_currentColour = (d[0] << 24) | (d[2] << 20) | (d[4] << 16);
            break;
        case 'c':
            readHex(p, 3, d);
            m_currentColour = (d[0] << 24) | (d[1] << 20) | (d[2] << 16);
            break;
        case 'b':
            m_currentStyle = off ? (m_currentStyle & ~kBold) : (m_currentStyle | kBold);
            break;
        case 'i':
            m_currentStyle = off ? (m_currentStyle & ~kItalic) : (m_currentStyle | kItalic);
            break;
        case 'l':
            putChar('\n');
            break;
        case 'r':
            putChar('\r');
            break;
        case 'n':
            m_currentColour = m_defaultColour;
            m_currentStyle = m_defaultStyle;
            break;
        default:
            break; // unknown commands are skipped
        }
    }
    if (m_wrapPending) putChar(' ');
    invalidate();
}

RichTTYSprite::Line& RichTTYSprite::writeLine(int32_t i) {
    const size_t index = m_history.size() - static_cast<size_t>(m_lines) + static_cast<size_t>(i);
    return m_history[index];
}

void RichTTYSprite::shrink(Line& line) {
    size_t end = 0;
    while (end < line.size() && line[end] != 0) ++end;
    if (line.size() > end + 1 + 10) line.resize(end + 1);
}

void RichTTYSprite::store(int32_t cell) {
    Line& line = writeLine(m_line);
    // Cells beyond a shrunk buffer's end come back as end markers before the write.
    if (static_cast<size_t>(m_column) + 2 > line.size()) line.resize(static_cast<size_t>(m_column) + 2, 0);
    line[static_cast<size_t>(m_column)] = cell;
    ++m_column;
}

void RichTTYSprite::putChar(int32_t ch) {
    if (m_wrapPending && (printable(ch) || ch == '\r' || ch == '\n') && m_line > 0) {
        Line& previous = writeLine(m_line - 1);
        size_t end = 0;
        while (end < previous.size() && previous[end] != 0) ++end;
        size_t space = end;
        for (size_t i = end; i-- > 0;) {
            if ((previous[i] & 0xFF) == ' ') {
                space = i;
                break;
            }
        }
        if (space < end) {
            std::vector<int32_t> moved(previous.begin() + static_cast<ptrdiff_t>(space) + 1,
                                       previous.begin() + static_cast<ptrdiff_t>(end));
            for (size_t i = space + 1; i < end; ++i) previous[i] = 0;
            shrink(previous);
            for (int32_t cell : moved) {
                m_currentText.append(static_cast<char>(cell & 0xFF));
                store(cell);
            }
        } else {
            shrink(previous);
        }
        m_wrapPending = false;
    }
    if (ch == '\n') {
        shrink(writeLine(m_line));
        m_currentText = "";
        ++m_line;
        m_column = 0;
        if (m_line >= m_lines) {
            m_line = m_lines - 1;
            if (!m_keepHistory || getHistorySize() > kMaxHistory) {
                m_history.pop_front();
                if (m_scrollOffset > 0) --m_scrollOffset;
            }
            m_history.emplace_back(kMaxColumns, 0);
        }
    } else if (ch == '\r') {
        m_currentText = "";
        m_column = 0;
    } else if (printable(ch)) {
        m_currentText.append(static_cast<char>(ch));
        store(m_currentStyle | m_currentColour | (ch & 0xFF));
        if (m_column + 1 >= kMaxColumns || (textWidth(m_currentText) > m_wrapWidth && ch != ' ')) {
            putChar('\r');
            putChar('\n');
            m_wrapPending = true;
        }
    }
}

std::vector<int32_t> RichTTYSprite::historyLine(int32_t index) const {
    std::vector<int32_t> cells;
    if (index < 0 || index >= getHistorySize()) return cells;
    for (int32_t cell : m_history[static_cast<size_t>(index)]) {
        if (cell == 0) break;
        cells.push_back(cell);
    }
    return cells;
}

String RichTTYSprite::lineText(int32_t i) const {
    String text;
    for (int32_t cell : historyLine(m_scrollOffset + i)) text.append(static_cast<char>(cell & 0xFF));
    return text;
}

Rectangle& RichTTYSprite::getBounds() {
    m_bounds.setBounds(m_x, m_y, m_width, m_height);
    if (m_clip) m_bounds.intersectWith(*m_clip);
    return m_bounds;
}


void RichTTYSprite::configure(int32_t width, int32_t height, int32_t size, uint32_t colour,
                              std::optional<uint32_t> background, bool keepHistory) {
    int32_t points = size < 1 ? 1 : size;
    Ref<Font> regular = adopt(new Font("Verdana", 0, points));
    Ref<FontMetrics> metrics = adopt(regular->getMetrics());
    while (points > 1 && metrics->getHeight() > size) {
        --points;
        regular = adopt(new Font("Verdana", 0, points));
        metrics = adopt(regular->getMetrics());
    }
    m_fonts->styles[0] = regular;
    m_fonts->styles[1] = adopt(new Font("Verdana", 1, points));
    m_fonts->styles[2] = adopt(new Font("Verdana", 2, points));
    m_fonts->styles[3] = adopt(new Font("Verdana", 3, points));
    m_fonts->metrics = metrics;
    configureLayout(width, height, metrics->getAscent() + metrics->getDescent(), metrics->getAscent(), colour,
                    background, keepHistory);
}

int32_t RichTTYSprite::textWidth(const String& text) const {
    return m_fonts->metrics ? m_fonts->metrics->stringWidth(text) : 0;
}

void RichTTYSprite::paint(Graphics* surface) {
    if (!m_paintVisible || surface == nullptr) return;
    if (m_background) {
        surface->setColor(*m_background);
        surface->fillRect(m_x, m_y, m_width, m_height);
    }
    if (!m_fonts->metrics) return;
    char run[kMaxColumns];
    for (int32_t i = 0; i < m_lines; ++i) {
        const std::vector<int32_t> cells = historyLine(m_scrollOffset + i);
        int32_t pen = 2;
        const int32_t baseline = m_y + i * m_lineHeight + m_baseline + 2;
        size_t start = 0;
        while (start < cells.size()) {
            const int32_t attributes = cells[start] & ~0xFF;
            size_t end = start;
            int32_t length = 0;
            while (end < cells.size() && (cells[end] & ~0xFF) == attributes && length < kMaxColumns) {
                run[length++] = static_cast<char>(cells[end] & 0xFF);
                ++end;
            }
            const int32_t style = ((attributes & kBold) ? 1 : 0) | ((attributes & kItalic) ? 2 : 0);
            Font* font = m_fonts->styles[style].get();
            surface->setColor(cellColour(attributes));
            surface->setFont(font);
            surface->drawChars(run, 0, length, m_x + pen, baseline);
            Ref<FontMetrics> metrics = adopt(font->getMetrics());
            pen += metrics->stringWidth(run, 0, length);
            start = end;
        }
    }
}


} // namespace mph
