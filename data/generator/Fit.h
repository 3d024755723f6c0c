// The words that did not fit their boxes: the drawing helpers report them, the fit check lists them.
#pragma once

#include <string>
#include <vector>

namespace datagen {

struct FitProblem {
    std::string picture; // the file being drawn
    std::string text;
    std::string what; // "too wide" or "too long"
    double need = 0;  // the width or depth the text takes at its smallest size
    double room = 0;  // what its box gives
};

// Names the picture whose drawing reports problems from now on.
void setFitPicture(const std::string& file);
void reportOverflow(const std::string& what, const std::string& text, double need, double room);
// The problems reported since the last call.
std::vector<FitProblem> takeFitProblems();
// Puts problems back on the record (after a drawing that was tried and thrown away).
void addFitProblems(const std::vector<FitProblem>& problems);

} // namespace datagen
