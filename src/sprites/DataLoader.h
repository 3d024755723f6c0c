// DataLoader: reads a data script and builds its images, sounds, strings, numbers and sprites.
#pragma once

#include "runtime/Hashtable.h"
#include "runtime/IntArray.h"
#include "runtime/ObjectArray.h"
#include "runtime/Ref.h"
#include "runtime/StringArray.h"
#include "runtime/Vector.h"

#include <functional>
#include <string>

namespace mph {

class Image;
class ImageArray;
class InputStream;
class SpriteFactory;
class StreamTokenizer;
class User;

class DataLoader : public lang::Object {
    LANG_CLASS(DataLoader, Object)

public:
    // At most this many numbers are read from the data sections; the last one ends the script.
    static constexpr int32_t kMaxData = 300;

    // factory and settings may be null; the loader holds a reference to each.
    DataLoader(const lang::String& baseDirectory, SpriteFactory* factory, User* settings);
    DataLoader(const DataLoader&) = delete;
    DataLoader& operator=(const DataLoader&) = delete;
    ~DataLoader() override;

    // Reads a script: "+name" from the container, anything else from the base directory. False when an
    // exception stopped it (after reporting it); what was built before the error stays.
    bool load(const lang::String& scriptName);

    // The objects of the last load, in script order, and the named ones; null before the first load.
    lang::Vector* getSprites() const { return m_sprites.get(); }
    lang::Hashtable* getSpritesByName() const { return m_spritesByName.get(); }
    // Sound clips, strings and numbers in script order. The loader holds one reference to each clip and
    // string; whoever keeps one takes its own.
    lang::ObjectArray& getSounds() { return m_sounds; }
    lang::StringArray& getStrings() { return m_strings; }
    lang::IntArray& getData() { return m_data; }
    // Images by name; they live as long as the loader unless someone holds a reference.
    lang::Hashtable& getImages() { return m_images; }
    const lang::String& getBaseDirectory() const { return m_baseDirectory; }

    // Makes the object of a definition through the class registry; a "Class:script" spec fills a container
    // from a nested script. A new reference, or null for an unknown class.
    lang::Object* defaultCreateSprite(const lang::String& classSpec, lang::IntArray* ints,
                                      ImageArray* images);

    // Loads an image spec ("+item", "@choice" or a disk file); a new reference, possibly without pixels.
    Image* loadImageSpec(const lang::String& spec);
    // Reads an image pack file of the base directory into the image table; a damaged pack adds nothing.
    void readImagePack(const lang::String& fileName);

    // Where load reports an exception. The default writes it to standard error; the application shows a
    // message box with the caption "Error".
    using ErrorReporter = std::function<void(const lang::String& message)>;
    static void setErrorReporter(ErrorReporter reporter);
    static void reportError(const lang::String& message);

    // What a load passes over without a word, as the game wants it: a modder's check listens for them.
    enum class Note {
        UnknownClass,    // a definition names a class that is not registered (or is no sprite)
        MissingImage,    // a definition names an image that is neither in the script nor in the container
        UnreadableImage, // an <images> entry whose picture cannot be read
        RunOnComment,    // a comment runs on past a line feed: the script has LF line ends
        MadeNothing,     // the script made no image, sound, string, number or sprite
    };
    // script: the name load was given; line: where the cause stands (0 for the whole script).
    using NoteReporter =
        std::function<void(Note note, const lang::String& script, int32_t line, const std::string& text)>;
    // Process-wide; nested scripts report through it too. Null (the default) keeps loads silent.
    static void setNoteReporter(NoteReporter reporter);
    // The tokenizer set-up of every data script: ';' comments up to a carriage return, '"' quotes, numbers.
    static void configureTokenizer(StreamTokenizer& tokens);

private:
    void clearLists();
    // The next token as a new String (numbers as the double-to-text conversion writes them), or null.
    lang::Ref<lang::String> nextToken(StreamTokenizer& tokens);
    // Runs the sections; returns when the script ends.
    void readScript(StreamTokenizer& tokens);
    lang::Ref<lang::String> readImages(StreamTokenizer& tokens, bool& ended);
    lang::Ref<lang::String> readSounds(StreamTokenizer& tokens);
    lang::Ref<lang::String> readStrings(StreamTokenizer& tokens);
    lang::Ref<lang::String> readData(StreamTokenizer& tokens, bool& ended);
    lang::Ref<lang::String> readSprites(StreamTokenizer& tokens, bool& ended);
    void putImage(const lang::String& name, Image* image);
    void note(Note note, int32_t line, const std::string& text) const;
    bool madeNothing() const;

    lang::Ref<SpriteFactory> m_factory;
    lang::Ref<User> m_settings;
    lang::String m_baseDirectory;
    lang::ObjectArray m_sounds;
    lang::StringArray m_strings;
    lang::IntArray m_data;
    lang::Ref<lang::Vector> m_sprites;
    lang::Ref<lang::Hashtable> m_spritesByName;
    lang::Hashtable m_images;
    lang::String m_scriptName; // of the load in progress, for notes
};

} // namespace mph
