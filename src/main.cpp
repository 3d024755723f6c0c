// The program's entry point: registers the container, runs the main frame and its message loop.
#include "game/GameFrame.h"
#include "io/Resources.h"
#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "runtime/Exception.h"
#include "sprites/DataLoader.h"
#include "game/GameClasses.h"

int main() {
    // The sprite classes' registration records must be linked in before the data script names them.
    mph::registerGameClasses();
    try {
        mph::addResourceFile(lang::String(mph::kContainerName));
    } catch (lang::Exception* e) {
        mph::MessageBox::show(e->getMessage(), "Error");
        e->release();
        return 1;
    }
    // A data script that cannot be read is reported to the player.
    mph::DataLoader::setErrorReporter(
        [](const lang::String& message) { mph::MessageBox::show(message, "Error"); });
    auto* frame = new mph::GameFrame();
    int exitCode = 0;
    if (frame->create(nullptr, lang::Rectangle(0, 0, 800, 600)))
        exitCode = mph::MessageLoop::run();
    else if (!mph::Application::isInitialized()) {
        // No window could be made at all (no display); a quit during start-up is not an error.
        mph::MessageBox::show("Unable to open the game's window.", "Error");
        exitCode = 1;
    }
    frame->release();
    mph::clearResourceFiles();
    mph::Application::shutdown();
    return exitCode;
}
