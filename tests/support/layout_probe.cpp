// Prints where every component of the GUI appears in a window of the given
// size, from the program's own scene, layout code and fonts, so end-to-end
// tests never hard-code pixels. One line per component:
//   ID cx cy left top width height KIND WINDOW
// in window pixels from the top-left (what xdotool and screenshots use):
// the centre, then the rectangle. KIND is W for a floating window, B for a
// button, E for an editable text field, T for any other field and C for an
// inner container; WINDOW is the floating window the component lies in, or
// "-". Floating windows with their subtrees come first (hidden ones too),
// then the top dock, then each menu page's components as "P<page>:ID" and
// its title as "TITLE<page>" (kind T), then the timeline strip (F2) as
// TIMELINE. With a third argument N the editor's animation first gets N
// frames in all (each made as "New Frame From Current Pose" makes it) and
// each frame's block on the shown strip follows as TIMELINE_BLOCK<i>.
// Run it in a folder holding resources/.
// Usage: layout_probe <width> <height> [frames].
#include "animation/Animation.h"
#include "app/Scene.h"
#include "editor/SkeletonEditor.h"
#include "editor/TimelineStrip.h"
#include "gui/ComponentContainer.h"
#include "gui/Fonts.h"
#include "gui/InterfaceManager.h"
#include "gui/ProgramState.h"
#include "gui/TextField.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

namespace {
void printBox(const std::string& id, int left, int bottom, int width, int height, int windowH,
              char kind, const std::string& window) {
    int top = windowH - (bottom + height);
    std::printf("%s %d %d %d %d %d %d %c %s\n", id.c_str(), left + width / 2, top + height / 2,
                left, top, width, height, kind, window.c_str());
}

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

void print(const InterfaceComponent* c, const std::string& prefix, int windowH,
           const std::string& window) {
    if (!c)
        return;
    const char kind = c->getId() == window ? 'W' : kindLetter(*c);
    printBox(prefix + c->getId(), c->x, c->y, c->width, c->height, windowH, kind, window);
    if (c->kind == KIND_CONTAINER) {
        auto* container = static_cast<const ComponentContainer*>(c);
        print(container->getFirst(), prefix, windowH, window);
        print(container->getSecond(), prefix, windowH, window);
    }
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: layout_probe <window width> <window height> [frames]\n");
        return 2;
    }
    ProgramState state;
    state.windowWidth = std::atoi(argv[1]);
    state.windowHeight = std::atoi(argv[2]);
    // Components size themselves by their text, so measure with the real
    // fonts, as the program does once its window is open.
    Fonts fonts;
    if (!fonts.loaded()) {
        std::fprintf(stderr, "layout_probe: cannot load the fonts under ./resources/fonts\n");
        return 1;
    }
    fonts.setFaceSizes();
    installTextMetrics(&fonts);
    {
        // The scene prints what it reads; only the positions belong on stdout.
        std::ostringstream quiet;
        std::streambuf* old = std::cout.rdbuf(quiet.rdbuf());
        Scene scene(state, nullptr);
        scene.build();
        InterfaceManager& manager = *scene.interface;
        // The program lays out twice before anything is clicked: once for
        // the window's first resize event and once in its first update. The
        // second centres by the sizes the first gave.
        manager.layout(state.windowWidth, state.windowHeight);
        manager.update(0);
        std::cout.rdbuf(old);

        const int h = state.windowHeight;
        for (const ComponentContainer* window : manager.windows)
            print(window, "", h, window->getId());
        for (const InterfaceComponent* c : manager.topDock)
            print(c, "", h, "-");
        for (int p = 0; p < manager.pageCount; ++p) {
            const std::string prefix = "P" + std::to_string(p) + ":";
            for (const InterfaceComponent* c : manager.pages[static_cast<size_t>(p)])
                print(c, prefix, h, "-");
            // The title is drawn from its baseline at the title position.
            TextSize size = titleExtent(manager.pageTitles[static_cast<size_t>(p)]);
            const Point2i at = manager.titlePositions[static_cast<size_t>(p)];
            printBox("TITLE" + std::to_string(p), at.x, at.y, size.width, size.height, h, 'T', "-");
        }

        TimelineStrip& timeline = scene.editor->timeline();
        const Rect2i strip = timeline.strip();
        printBox("TIMELINE", strip.left, strip.bottom, strip.right - strip.left,
                 strip.top - strip.bottom, h, 'C', "-");
        if (argc == 4) {
            SkeletonEditor& editor = *scene.editor;
            while (editor.animation().frameCount() < std::atoi(argv[3]))
                editor.animation().addFrameFromPose(&editor.skeleton());
            timeline.setShown(true);
            const std::vector<TimelineBlock> blocks = timeline.screenBlocks();
            for (size_t i = 0; i < blocks.size(); ++i) {
                const int left = static_cast<int>(blocks[i].left);
                printBox("TIMELINE_BLOCK" + std::to_string(i), left, strip.bottom,
                         static_cast<int>(blocks[i].right) - left, strip.top - strip.bottom, h, 'C',
                         "-");
            }
        }
    }
    installTextMetrics(nullptr);
    return 0;
}
