// The fit check's record of words that did not fit; pictures are drawn on one thread.
#include "Fit.h"

#include <utility>

namespace datagen {

namespace {
std::string g_picture;
std::vector<FitProblem> g_problems;
} // namespace

void setFitPicture(const std::string& file) {
    g_picture = file;
}

void reportOverflow(const std::string& what, const std::string& text, double need, double room) {
    g_problems.push_back(FitProblem{g_picture, text, what, need, room});
}

std::vector<FitProblem> takeFitProblems() {
    return std::exchange(g_problems, {});
}

void addFitProblems(const std::vector<FitProblem>& problems) {
    g_problems.insert(g_problems.end(), problems.begin(), problems.end());
}

} // namespace datagen
