// SpriteFactory: something that may make the objects of a data script's sprite definitions itself.
#pragma once

#include "runtime/ObjectI.h"
#include "runtime/String.h"

namespace lang {
class IntArray;
class Object;
} // namespace lang

namespace mph {

class DataLoader;
class ImageArray;

// The canvas implements it beside its Object part; returning null lets the class registry make the object.
class SpriteFactory : public virtual lang::ObjectI {
public:
    virtual lang::Object* createSprite(const lang::String& classSpec, lang::IntArray* ints, ImageArray* images,
                                       DataLoader* loader) = 0;
};

} // namespace mph
