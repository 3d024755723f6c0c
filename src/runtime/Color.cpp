// The constant colours.
#include "runtime/Color.h"

namespace lang {

const Color Color::blue(0, 0, 255);
const Color Color::red(204, 0, 0);
const Color Color::green(0, 255, 0);
const Color Color::black(0, 0, 0);
const Color Color::white(255, 255, 255);
const Color Color::orange(255, 102, 0);
const Color Color::yellow(255, 255, 0);

} // namespace lang
