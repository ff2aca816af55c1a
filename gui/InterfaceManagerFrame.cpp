// The manager's per-frame side: update with the menu colour animation, the
// colour scheme, layout and drawing.
#include "gui/InterfaceManager.h"

#include "gui/Button.h"
#include "gui/ComponentContainer.h"
#include "gui/Painter.h"
#include "gui/ProgramState.h"
#include "gui/TextMetrics.h"

#include <cstdlib>

namespace {
// The channel limits of the menu background, 100/255 and 1/255 as single-
// precision values, so a channel stays dark.
constexpr double CHANNEL_HIGH = static_cast<double>(100.0f / 255.0f);
constexpr double CHANNEL_LOW = static_cast<double>(1.0f / 255.0f);
constexpr int32_t DOCK_GAP = 5;
constexpr int32_t PAGE_GAP = 10;
} // namespace

bool InterfaceManager::update(double seconds) {
    if (layoutDirty) {
        layout(state.windowWidth, state.windowHeight);
        applyColorScheme();
        layoutDirty = false;
    }
    if (menuShown) {
        const double s = seconds * 20;
        double* channels[3] = {&menuColor.r, &menuColor.g, &menuColor.b};
        for (int i = 0; i < 3; ++i) {
            const double step = (std::rand() % 255) / 127500.0 * s;
            *channels[i] += colorRising[i] ? step : -step;
        }
        for (int i = 0; i < 3; ++i) {
            if (*channels[i] > CHANNEL_HIGH)
                colorRising[i] = false;
            else if (*channels[i] < CHANNEL_LOW)
                colorRising[i] = true;
        }
    }
    for (InterfaceComponent* c : allComponents)
        c->update(seconds);
    return menuShown;
}

void InterfaceManager::applyColorScheme() {
    for (InterfaceComponent* c : allComponents) {
        c->setColor(0.5, 0.5, 0.5);
        c->setHighlightColor(static_cast<double>(0.2f), static_cast<double>(0.7f), 1.0);
    }
}

void InterfaceManager::layout(int32_t W, int32_t H) {
    // The totals use the sizes from before each step resizes anything.
    int32_t total = -DOCK_GAP;
    for (const InterfaceComponent* c : topDock)
        total += c->width + DOCK_GAP;
    int32_t x = (W - total) / 2;
    for (InterfaceComponent* c : topDock) {
        c->setPosition(x, H - DOCK_GAP - c->height);
        c->setSize(100, 25);
        x += c->width + DOCK_GAP;
    }

    for (int32_t p = 0; p < pageCount; ++p) {
        ComponentList& page = pages[static_cast<size_t>(p)];
        int32_t pageTotal = 0;
        for (const InterfaceComponent* c : page)
            pageTotal += c->height + PAGE_GAP;
        int32_t y = (H - pageTotal + PAGE_GAP) / 2;
        for (InterfaceComponent* c : page) {
            if (c->kind == KIND_BUTTON)
                c->setSize(200, 30);
            c->setPosition(W / 2 - c->width / 2, y);
            y += c->height + PAGE_GAP;
        }
    }

    for (ComponentList* layer : {&underlays, &overlays})
        for (InterfaceComponent* c : *layer) {
            c->setPosition(0, 0);
            c->setSize(W, H);
        }

    for (int32_t p = 0; p < pageCount; ++p) {
        const TextSize size = titleExtent(pageTitles[static_cast<size_t>(p)]);
        titlePositions[static_cast<size_t>(p)] = {(W - size.width) / 2, 5 * (H - size.height) / 6};
    }
    for (ComponentContainer* w : windows)
        w->placeInside(W, H);
}

void InterfaceManager::keepTitleBarsInside(int32_t W, int32_t H) {
    for (ComponentContainer* w : windows)
        w->keepTitleBarInside(W, H);
}

void InterfaceManager::draw(Painter& painter) const {
    if (menuShown) {
        const double W = state.windowWidth, H = state.windowHeight;
        const Rgba base{menuColor.r, menuColor.g, menuColor.b, 1};
        const Rgba black{0, 0, 0, 1};
        const Vertex2D background[4] = {{0, 0, base}, {W, 0, base}, {W, H, black}, {0, H, black}};
        painter.quads(background, 4);
        if (pageCount > 0) {
            const size_t p = static_cast<size_t>(currentPage);
            for (const InterfaceComponent* c : pages[p])
                c->draw(painter);
            // White, the colour the components' labels end with.
            painter.title(pageTitles[p], titlePositions[p].x, titlePositions[p].y,
                          Rgba{1, 1, 1, 1});
        }
        return;
    }
    for (const InterfaceComponent* c : topDock)
        c->draw(painter);
    for (const InterfaceComponent* c : underlays)
        c->draw(painter);
    for (const ComponentContainer* w : windows)
        w->draw(painter);
    for (const InterfaceComponent* c : overlays)
        c->draw(painter);
}
