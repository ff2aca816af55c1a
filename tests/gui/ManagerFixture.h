#pragma once

#include "gui/Button.h"
#include "gui/ComponentContainer.h"
#include "gui/InterfaceManager.h"
#include "gui/ProgramState.h"
#include "gui/TextField.h"
#include "tests/gui/RecordingPainter.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

// A manager after init() for an 800 x 600 window, with a callback that
// records every hit it receives. Components made with own() live as long as
// the test, as registered components outlive the manager in the program.
class ManagerTest : public GuiTest {
protected:
    struct Hit {
        std::string id;
        int32_t state;
    };

    void SetUp() override {
        GuiTest::SetUp();
        state.running = true;
        manager.init();
        manager.commandCallback = [this](InterfaceComponent* c, int32_t, int32_t) {
            hits.push_back({c->id, c->kind == KIND_BUTTON ? static_cast<Button*>(c)->state : 0});
        };
    }

    template <class T, class... Args> T* own(Args&&... args) {
        owned.push_back(std::make_unique<T>(std::forward<Args>(args)...));
        return static_cast<T*>(owned.back().get());
    }

    // A 300 x 200 floating window at (x, y) holding a button and an
    // editable field side by side.
    ComponentContainer* window(const std::string& id, int32_t x, int32_t y) {
        auto* w = own<ComponentContainer>(id, "Panel", false);
        w->setFirst(new Button(id + "_BUTTON", "Go"));
        w->setSecond(new TextField(id + "_FIELD", "", true));
        w->setSize(300, 200);
        w->setPosition(x, y);
        manager.addWindow(w);
        return w;
    }

    // Press and release at the same point.
    void click(int32_t x, int32_t y) {
        manager.handleClick(0, CLICK_PRESS, x, y);
        manager.handleClick(0, CLICK_RELEASE, x, y);
    }
    static Point2i centre(const InterfaceComponent* c) {
        return {c->x + c->width / 2, c->y + c->height / 2};
    }

    ProgramState state;
    InterfaceManager manager{state};
    std::vector<Hit> hits;
    std::vector<std::unique_ptr<InterfaceComponent>> owned;
};
