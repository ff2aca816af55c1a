// Prints what a random tester should aim at in the editor, for a window of
// the given height, in window pixels from the top-left (what xdotool takes):
//   <kind> <id> <x> <y>
// kind B for a button, E for an editable text field, T for any other field,
// C for a container, and H for the middle of a floating window's title bar.
// Builds the real editor and interface manager without a window; run it in
// a folder holding resources/. Usage: monkey_targets <window height>.
#include "editor/SkeletonEditor.h"
#include "gui/ComponentContainer.h"
#include "gui/InterfaceManager.h"
#include "gui/ProgramState.h"
#include "gui/TextField.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

namespace {
char kindLetter(const InterfaceComponent& c) {
    switch (c.kind) {
    case KIND_BUTTON:
        return 'B';
    case KIND_TEXT_FIELD:
        return static_cast<const TextField&>(c).editable ? 'E' : 'T';
    default:
        return 'C';
    }
}

void print(const InterfaceComponent* c, int height) {
    if (!c)
        return;
    std::printf("%c %s %d %d\n", kindLetter(*c), c->id.c_str(), (c->x + c->right) / 2,
                height - (c->y + c->top) / 2);
    if (c->kind == KIND_CONTAINER) {
        auto* container = static_cast<const ComponentContainer*>(c);
        print(container->getFirst(), height);
        print(container->getSecond(), height);
    }
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::atoi(argv[1]) <= 0) {
        std::fprintf(stderr, "usage: monkey_targets <window height>\n");
        return 2;
    }
    const int height = std::atoi(argv[1]);
    ProgramState state;
    state.windowHeight = height;
    InterfaceManager manager(state);
    manager.init();
    // The skeleton reader's messages are not targets.
    std::ostringstream quiet;
    std::streambuf* old = std::cout.rdbuf(quiet.rdbuf());
    SkeletonEditor editor(manager);
    std::cout.rdbuf(old);
    for (const ComponentContainer* window : manager.windows) {
        // The title bar is the strip just above the window's top edge.
        const int barY = window->top + ComponentContainer::TITLE_BAR_HEIGHT / 2;
        std::printf("H %s %d %d\n", window->id.c_str(), (window->x + window->right) / 2,
                    height - barY);
        print(window, height);
    }
    return 0;
}
