// DataLoader: the sections of a data script, image specs, image packs and sprite definitions.
#include "sprites/DataLoader.h"

#include "audio/AudioClip.h"
#include "gfx/Image.h"
#include "gfx/ImageArray.h"
#include "io/ByteArrayInputStream.h"
#include "io/FileInputStream.h"
#include "io/ImagePackReader.h"
#include "io/Path.h"
#include "io/Resources.h"
#include "io/StreamTokenizer.h"
#include "io/User.h"
#include "runtime/Class.h"
#include "runtime/Exception.h"
#include "sprites/FancyContainer.h"
#include "sprites/Sprite.h"
#include "sprites/SpriteFactory.h"

#include <cmath>
#include <cstdio>
#include <mutex>
#include <vector>

using namespace lang;

namespace mph {

namespace {

std::mutex& reporterLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

DataLoader::ErrorReporter& reporter() {
    static auto* r = new DataLoader::ErrorReporter;
    return *r;
}

DataLoader::NoteReporter& noteReporter() {
    static auto* r = new DataLoader::NoteReporter;
    return *r;
}

// Scripts may name containers whose scripts name containers. A script that names itself, or one of
// the scripts being read around it, would recurse until the stack ran out: it is refused. All the scripts
// one outermost load reads together are counted too, since every level may name the next many times
// (the game's own data reads 11).
constexpr size_t kMaxNesting = 16;
constexpr int kMaxScripts = 32;
// The scripts being read, outermost first.
thread_local std::vector<String> reading;
thread_local int scriptsRead = 0;

struct NestingGuard {
    explicit NestingGuard(const String& name) { reading.push_back(name); }
    ~NestingGuard() { reading.pop_back(); }
};

bool isBeingRead(const String& name) {
    for (const String& outer : reading)
        if (outer.equalsIgnoreCase(name.c_str())) return true;
    return false;
}

bool isHeader(const String& token) {
    return token.startsWith("<");
}

// Numbers are truncated towards zero; values beyond the 32-bit range saturate instead of wrapping.
int32_t toInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}

} // namespace

DataLoader::DataLoader(const String& baseDirectory, SpriteFactory* factory, User* settings)
    : m_factory(retain(factory)), m_settings(retain(settings)), m_baseDirectory(baseDirectory) {}

DataLoader::~DataLoader() {
    clearLists();
}

void DataLoader::clearLists() {
    for (int32_t i = 0; i < m_sounds.length; ++i)
        if (m_sounds.data[i]) m_sounds.data[i]->release();
    m_sounds.resize(0);
    for (int32_t i = 0; i < m_strings.length; ++i)
        if (m_strings.data[i]) m_strings.data[i]->release();
    m_strings.resize(0);
    m_data.resize(0);
}

void DataLoader::setErrorReporter(ErrorReporter r) {
    std::lock_guard<std::mutex> guard(reporterLock());
    reporter() = std::move(r);
}

void DataLoader::reportError(const String& message) {
    ErrorReporter r;
    {
        std::lock_guard<std::mutex> guard(reporterLock());
        r = reporter();
    }
    if (r) {
        r(message);
    } else {
        std::fprintf(stderr, "Error: %s\n", message.c_str());
    }
}

void DataLoader::setNoteReporter(NoteReporter r) {
    std::lock_guard<std::mutex> guard(reporterLock());
    noteReporter() = std::move(r);
}

void DataLoader::note(Note kind, int32_t line, const std::string& text) const {
    NoteReporter r;
    {
        std::lock_guard<std::mutex> guard(reporterLock());
        r = noteReporter();
    }
    if (r) r(kind, m_scriptName, line, text);
}

void DataLoader::configureTokenizer(StreamTokenizer& tokens) {
    tokens.commentChar(';');
    tokens.quoteChar('"');
    tokens.parseNumbers();
}

bool DataLoader::madeNothing() const {
    return m_sprites->size() == 0 && m_images.size() == 0 && m_sounds.length == 0 && m_strings.length == 0 &&
           m_data.length == 0;
}

bool DataLoader::load(const String& scriptName) {
    m_sprites = adopt(new Vector(10));
    m_spritesByName = adopt(new Hashtable);
    m_images.clear();
    m_scriptName = scriptName;
    try {
        if (reading.empty()) scriptsRead = 0;
        if (reading.size() >= kMaxNesting) throwException(String("Scripts nested too deeply at ") + scriptName);
        if (isBeingRead(scriptName)) throwException(String("Script nested in itself: ") + scriptName);
        if (++scriptsRead > kMaxScripts) throwException(String("Too many nested scripts at ") + scriptName);
        NestingGuard inside(scriptName);
        Ref<InputStream> stream;
        if (scriptName.startsWith("+")) {
            // A missing script is an error, not an empty script: the caller must not carry on with nothing.
            Ref<ResourceItem> item = findItem(scriptName.substring(1));
            if (!item) throwException(String("Error Opening ") + scriptName);
            stream = adopt<InputStream>(new ByteArrayInputStream(item));
        } else {
            stream = adopt<InputStream>(new FileInputStream(scriptName, m_baseDirectory));
        }
        Ref<StreamTokenizer> tokens = adopt(new StreamTokenizer(stream));
        configureTokenizer(*tokens);
        readScript(*tokens);
        stream->close();
        if (const int32_t line = tokens->runOnCommentLine(); line > 0)
            note(Note::RunOnComment, line,
                 "the comment here runs on past its line end to the next carriage return, so what follows "
                 "it is not read: data scripts need CR LF line ends");
        if (madeNothing()) note(Note::MadeNothing, 0, "the script creates nothing");
        return true;
    } catch (Exception* e) {
        const String message = e->toString();
        e->release();
        reportError(message);
        return false;
    }
}

Ref<String> DataLoader::nextToken(StreamTokenizer& tokens) {
    switch (tokens.nextToken()) {
    case StreamTokenizer::TT_EOF:
        return nullptr;
    case StreamTokenizer::TT_NUMBER:
        return make<String>(tokens.nval());
    case StreamTokenizer::TT_WORD:
        return make<String>(tokens.sval());
    default:
        // Every byte is a word, number, quote, comment or space character here, so a single
        // character can only come from a changed set-up; treat it as a one-letter word.
        return make<String>(static_cast<char>(tokens.ttype()), 2);
    }
}

void DataLoader::readScript(StreamTokenizer& tokens) {
    Ref<String> token = nextToken(tokens);
    bool ended = false;
    while (token && !ended) {
        if (token->equalsIgnoreCase("<images>")) {
            token = readImages(tokens, ended);
        } else if (token->equalsIgnoreCase("<sounds>")) {
            token = readSounds(tokens);
        } else if (token->equalsIgnoreCase("<data>")) {
            token = readData(tokens, ended);
        } else if (token->equalsIgnoreCase("<strings>")) {
            token = readStrings(tokens);
        } else if (token->equalsIgnoreCase("<sprites>")) {
            token = readSprites(tokens, ended);
        } else if (token->equalsIgnoreCase("<end>")) {
            return;
        } else {
            token = nextToken(tokens); // anything else where a header belongs is skipped
        }
    }
}

void DataLoader::putImage(const String& name, Image* image) {
    // Only pictures with pixels enter the table, so a sprite never receives an empty one.
    if (image != nullptr && image->hasPixels()) m_images.put(name, image);
}

Ref<String> DataLoader::readImages(StreamTokenizer& tokens, bool& ended) {
    for (;;) {
        Ref<String> token = nextToken(tokens);
        if (!token || isHeader(*token)) return token;
        if (token->endsWith(".bin")) {
            readImagePack(*token);
            continue;
        }
        Ref<String> spec = nextToken(tokens);
        if (!spec) {
            ended = true; // a name without a spec is the last token of the script
            return nullptr;
        }
        const int32_t line = tokens.tokenLine();
        Ref<Image> image = adopt(loadImageSpec(*spec));
        putImage(*token, image.get());
        if (!image || !image->hasPixels())
            note(Note::UnreadableImage, line,
                 "image \"" + token->str() + "\": " + spec->str() + " cannot be read");
    }
}

Ref<String> DataLoader::readSounds(StreamTokenizer& tokens) {
    for (int32_t i = 0; i < m_sounds.length; ++i)
        if (m_sounds.data[i]) m_sounds.data[i]->release();
    m_sounds.resize(0);
    for (;;) {
        Ref<String> token = nextToken(tokens);
        if (!token || isHeader(*token)) return token;
        AudioClip* clip = AudioClip::createClip(*token, m_baseDirectory);
        if (clip == nullptr) continue; // names shorter than three characters
        m_sounds.resize(m_sounds.length + 1);
        m_sounds.data[m_sounds.length - 1] = clip;
    }
}

Ref<String> DataLoader::readStrings(StreamTokenizer& tokens) {
    for (int32_t i = 0; i < m_strings.length; ++i)
        if (m_strings.data[i]) m_strings.data[i]->release();
    m_strings.resize(0);
    for (;;) {
        Ref<String> token = nextToken(tokens);
        if (!token || isHeader(*token)) return token;
        m_strings.resize(m_strings.length + 1);
        m_strings.data[m_strings.length - 1] = token.detach();
    }
}

Ref<String> DataLoader::readData(StreamTokenizer& tokens, bool& ended) {
    m_data.resize(0);
    for (;;) {
        if (tokens.nextToken() != StreamTokenizer::TT_NUMBER) {
            tokens.pushBack();
            return nextToken(tokens);
        }
        m_data.resize(m_data.length + 1);
        m_data[m_data.length - 1] = toInt(tokens.nval());
        if (m_data.length >= kMaxData) {
            ended = true;
            return nullptr;
        }
    }
}

Ref<String> DataLoader::readSprites(StreamTokenizer& tokens, bool& ended) {
    Ref<String> name = nextToken(tokens);
    for (;;) {
        if (!name || isHeader(*name)) return name;
        Ref<String> classSpec = nextToken(tokens);
        if (!classSpec) {
            ended = true;
            return nullptr;
        }
        const int32_t classLine = tokens.tokenLine();
        // Image names up to the first number.
        Ref<ImageArray> images = make<ImageArray>();
        bool atEnd = false;
        for (;;) {
            const int32_t type = tokens.nextToken();
            if (type == StreamTokenizer::TT_NUMBER) {
                tokens.pushBack();
                break;
            }
            if (type == StreamTokenizer::TT_EOF) {
                atEnd = true;
                break;
            }
            tokens.pushBack();
            Ref<String> imageName = nextToken(tokens);
            Object* image = m_images.get(imageName.get());
            if (image == nullptr) {
                Ref<Image> loaded = adopt(loadImageSpec(String("+") + *imageName));
                putImage(*imageName, loaded.get());
                image = m_images.get(imageName.get());
            }
            if (image == nullptr) {
                note(Note::MissingImage, tokens.tokenLine(),
                     "no image \"" + imageName->str() + "\" for sprite \"" + name->str() +
                         "\": it is neither in <images> nor an item of the container");
                continue;
            }
            images->resize(images->length + 1);
            images->data[images->length - 1] = image;
        }
        // Numbers; the first other token names the next definition.
        Ref<IntArray> ints = make<IntArray>(0);
        Ref<String> next;
        while (!atEnd) {
            const int32_t type = tokens.nextToken();
            if (type == StreamTokenizer::TT_NUMBER) {
                ints->resize(ints->length + 1);
                (*ints)[ints->length - 1] = toInt(tokens.nval());
                continue;
            }
            if (type == StreamTokenizer::TT_EOF) {
                atEnd = true;
                break;
            }
            tokens.pushBack();
            next = nextToken(tokens);
            break;
        }
        Ref<Object> object;
        if (m_factory) object = adopt(m_factory->createSprite(*classSpec, ints.get(), images.get(), this));
        if (!object) object = adopt(defaultCreateSprite(*classSpec, ints.get(), images.get()));
        if (object) {
            m_sprites->addElement(object.get());
            if (!name->isEmpty()) m_spritesByName->put(*name, object.get());
        } else {
            const int32_t colon = classSpec->indexOf(':');
            const String className = colon >= 0 ? classSpec->substring(0, colon) : *classSpec;
            const std::string why =
                Class::forName(className) != nullptr ? "\" makes no sprite" : "\" is unknown";
            note(Note::UnknownClass, classLine,
                 "class \"" + className.str() + why + ": sprite \"" + name->str() + "\" is not made");
        }
        if (atEnd) {
            ended = true;
            return nullptr;
        }
        name = next;
    }
}

Object* DataLoader::defaultCreateSprite(const String& classSpec, IntArray* ints, ImageArray* images) {
    const int32_t colon = classSpec.indexOf(':');
    const String className = colon >= 0 ? classSpec.substring(0, colon) : classSpec;
    const String nested = colon >= 0 ? classSpec.substring(colon + 1) : String();
    Class* cls = Class::forName(className);
    if (cls == nullptr) return nullptr;
    Ref<Object> object = adopt(cls->newInstance());
    auto* sprite = dynamic_cast<Sprite*>(object.get());
    if (sprite == nullptr) return nullptr; // only sprites can be made from a script
    sprite->initFromDefinition(*images, *ints);
    if (object->instanceOf("FancyContainer") && !nested.isEmpty()) {
        auto* container = static_cast<FancyContainer*>(sprite);
        Ref<DataLoader> loader = adopt(new DataLoader(m_baseDirectory, m_factory.get(), m_settings.get()));
        if (loader->load(nested)) {
            Vector* children = loader->getSprites();
            for (int32_t i = 0; i < children->size(); ++i)
                container->addChild(children->elementAt(i));
            container->onLoaded(loader.get());
        }
    }
    return object.detach();
}

Image* DataLoader::loadImageSpec(const String& spec) {
    if (spec.startsWith("+")) return new Image(spec);
    if (spec.startsWith("@")) {
        const String key = spec.substring(1);
        const String fallback = String("+") + key;
        const String answer = m_settings ? m_settings->getString(key, fallback) : fallback;
        auto* image = new Image(answer.startsWith("+") ? answer : joinPath(m_baseDirectory, answer));
        if (image->hasPixels()) return image;
        image->release();
        return new Image(fallback);
    }
    return new Image(joinPath(m_baseDirectory, spec));
}

void DataLoader::readImagePack(const String& fileName) {
    try {
        Ref<InputStream> stream = adopt<InputStream>(new FileInputStream(fileName, m_baseDirectory));
        ImagePackReader pack(stream);
        if (!pack.isValid()) return;
        ImagePackReader::Record record;
        while (pack.next(record)) {
            if (record.data.empty()) continue;
            Ref<Image> image = adopt(new Image(record.data.data(), record.data.size()));
            putImage(record.name, image.get());
        }
    } catch (Exception* e) {
        e->release(); // a missing or damaged pack simply adds nothing
    }
}

} // namespace mph
