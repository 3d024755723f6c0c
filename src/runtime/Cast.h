// as<T>: the typed cast of the object runtime, null when the object is not a T.
#pragma once

namespace lang {

// Use this instead of comparing class names and casting by hand.
template <class T, class U> T* as(U* object) {
    return object == nullptr ? nullptr : dynamic_cast<T*>(object);
}

} // namespace lang
