#include "gui/InterfaceComponent.h"

#include "gui/TextMetrics.h"

#include <algorithm>
#include <utility>

InterfaceComponent::InterfaceComponent(std::string id_, std::string text_, int32_t kind_,
                                       int32_t x_, int32_t y_, int32_t width_, int32_t height_)
    : x(x_), y(y_), width(width_), height(height_), id(std::move(id_)), text(std::move(text_)),
      kind(kind_) {
    measureText();
    width = std::max(width, textWidth + 3);
    height = std::max(height, textHeight + 3);
    updateEdges();
}

void InterfaceComponent::measureText() {
    TextSize size = textExtent(text);
    textWidth = size.width;
    textHeight = size.height;
}

void InterfaceComponent::pack() {
    width = std::max(width, textWidth + 3);
    height = std::max(height, textHeight + 3);
    updateEdges();
}

InterfaceComponent* InterfaceComponent::findById(const std::string& wanted) {
    return wanted == id ? this : nullptr;
}

void InterfaceComponent::setPosition(int32_t newX, int32_t newY) {
    x = newX;
    y = newY;
    updateEdges();
    pack();
}

void InterfaceComponent::setSize(int32_t newWidth, int32_t newHeight) {
    width = newWidth;
    height = newHeight;
    updateEdges();
    pack();
}

void InterfaceComponent::setColor(double r, double g, double b) {
    color = {r, g, b};
}

void InterfaceComponent::setHighlightColor(double r, double g, double b) {
    highlightColor = {r, g, b};
}

void InterfaceComponent::setText(const std::string& newText) {
    text = newText;
    measureText();
    pack();
}
