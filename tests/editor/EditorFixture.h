#pragma once

// A complete editor on a real interface manager, built without a window in
// a private copy of the resources, with a stepped player clock. Clicks go
// through the manager exactly as the input dispatch sends them.
#include "animation/Animation.h"
#include "animation/AnimationPlayer.h"
#include "animation/KeyFrame.h"
#include "animation/PlayerClock.h"
#include "editor/SkeletonEditor.h"
#include "gui/Button.h"
#include "gui/ComponentContainer.h"
#include "gui/InterfaceManager.h"
#include "gui/ProgramState.h"
#include "gui/TextField.h"
#include "gui/TextMetrics.h"
#include "skeleton/Skeleton.h"
#include "tests/support/ScopedWorkDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class EditorFixture : public ::testing::Test {
protected:
    FixedWidthMetrics metrics;
    std::unique_ptr<ScopedWorkDir> workDir;
    ProgramState state;
    std::unique_ptr<InterfaceManager> manager;
    ManualPlayerClock clock;
    std::unique_ptr<SkeletonEditor> editor;
    std::string startOutput;

    void SetUp() override {
        installTextMetrics(&metrics);
        workDir = std::make_unique<ScopedWorkDir>();
        build();
    }
    void TearDown() override {
        editor.reset();
        manager.reset();
        workDir.reset();
        installTextMetrics(nullptr);
    }
    // (Re)builds the manager and the editor in the work folder.
    void build() {
        editor.reset();
        manager = std::make_unique<InterfaceManager>(state);
        manager->init();
        testing::internal::CaptureStdout();
        editor = std::make_unique<SkeletonEditor>(*manager, &clock);
        startOutput = testing::internal::GetCapturedStdout();
        manager->commandCallback = [this](InterfaceComponent* hit, int32_t, int32_t) {
            editor->onCommand(hit);
        };
        manager->update(0);
    }

    InterfaceComponent* find(const std::string& id) {
        for (ComponentContainer* window : manager->windows)
            if (InterfaceComponent* c = window->findById(id))
                return c;
        return nullptr;
    }
    ComponentContainer* window(const std::string& id) {
        return static_cast<ComponentContainer*>(find(id));
    }
    TextField* field(const std::string& id) { return static_cast<TextField*>(find(id)); }
    std::string text(const std::string& id) { return find(id)->getText(); }

    // Presses (and optionally releases) the button with this id at its centre.
    void press(const std::string& id) { clickAt(id, CLICK_PRESS); }
    void release(const std::string& id) { clickAt(id, CLICK_RELEASE); }
    void click(const std::string& id) {
        press(id);
        release(id);
    }
    void clickAt(const std::string& id, int32_t kind) {
        InterfaceComponent* c = find(id);
        ASSERT_NE(c, nullptr) << id;
        bool taken = manager->handleClick(0, kind, (c->x + c->right) / 2, (c->y + c->top) / 2);
        // A release may find its window already hidden by the press (Cancel).
        if (kind == CLICK_PRESS) {
            ASSERT_TRUE(taken) << id;
        }
    }
    // Lets the player's clock run, then advances the editor by one frame.
    void frame(double seconds) {
        clock.advance(seconds);
        editor->editorUpdate(seconds);
    }
    Skeleton& skeleton() { return editor->skeleton(); }
    Animation& animation() { return editor->animation(); }
    int currentIndex() { return editor->currentFrame() ? editor->currentFrame()->index : -1; }
};
