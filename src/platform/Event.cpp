// Event: construction and the references it holds to its component.
#include "platform/Event.h"

#include "platform/Component.h"

namespace mph {

Event::Event(int32_t id, Component* component, int32_t x, int32_t y, int32_t modifiers, uint32_t when)
    : id(id), x(x), y(y), modifiers(modifiers), when(when), target(lang::retain(component)),
      source(lang::retain(component)) {}

Event::~Event() = default;

} // namespace mph
