// The process-wide container chain: registering containers, finding them on disk and looking items up.
#pragma once

#include "io/ResourceFile.h"
#include "io/ResourceItem.h"
#include "runtime/Ref.h"
#include "runtime/String.h"

#include <vector>

namespace mph {

// The file name of the game's container.
inline constexpr const char* kContainerName = "morphella.bin";

// Registers the container name (found with findContainerFile) as the head of the chain. Throws
// "Error Opening " followed by the path when it is a data file that cannot be opened.
void addResourceFile(const lang::String& name);
// Registers a container that is already open, as the head of the chain.
void addResourceFile(lang::Ref<ResourceFile> file);
// Releases the whole chain; later look-ups find nothing.
void clearResourceFiles();
// The head of the chain, or null.
lang::Ref<ResourceFile> resourceChain();
// The game's own container: the last data file of the chain (overlays stand in front of it), or null.
lang::Ref<ResourceFile> baseResourceFile();
// Takes the overlays off the head of the chain and puts overlay (when not null) there instead, marked as
// one. Call it while no other thread looks items up.
void replaceOverlay(lang::Ref<ResourceFile> overlay);

// The item name from the chain as a new reference, or null when no container holds it.
lang::Ref<ResourceItem> findItem(const lang::String& name);
// The text item name without its last (terminator) byte, or "" when it is missing.
lang::String getResourceString(const lang::String& name);
// The text of an item without its last (terminator) byte; "" for null or an empty item.
lang::String itemText(const ResourceItem* item);

// The places a container called name is looked for, in order: next to the executable, the current
// directory, the installed data directory beside the executable's prefix, then the system data directories.
// A name that holds a directory part is its own only candidate.
std::vector<lang::String> containerSearchPaths(const lang::String& name);
// The first candidate of containerSearchPaths that is a readable regular file, or "" when there is none.
lang::String findContainerFile(const lang::String& name);
// The message for a container that is not where it was looked for: its name and each place searched, one
// a line.
lang::String containerNotFoundMessage(const lang::String& name);

} // namespace mph
