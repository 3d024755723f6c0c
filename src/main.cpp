// The program's entry point: registers the container, runs the main frame and its message loop.
#include "app/MyFrame.h"
#include "io/Resources.h"
#include "platform/Application.h"
#include "platform/MessageBox.h"
#include "platform/MessageLoop.h"
#include "runtime/Exception.h"
#include "sprites/SpriteClasses.h"

int main() {
    // The sprite classes' registration records must be linked in before the data script names them.
    mph::registerSpriteClasses();
    try {
        mph::addResourceFile(lang::String(mph::kContainerName));
    } catch (lang::Exception* e) {
        mph::MessageBox::show(e->getMessage(), "Error");
        e->release();
        return 1;
    }
    auto* frame = new mph::MyFrame();
    int exitCode = 0;
    if (frame->create(nullptr, lang::Rectangle(0, 0, 800, 600)))
        exitCode = mph::MessageLoop::run();
    else if (!frame->hasWindow() && !mph::Application::isInitialized())
        exitCode = 1;
    frame->release();
    mph::clearResourceFiles();
    mph::Application::shutdown();
    return exitCode;
}
