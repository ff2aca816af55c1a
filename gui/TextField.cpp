#include "gui/TextField.h"

#include "gui/KeyCodes.h"
#include "gui/TextMetrics.h"

#include <cstring>
#include <utility>

namespace {
// Characters that end a word and stay attached to the word before them.
bool isSeparator(char c) {
    return c != '\0' && std::strchr("\t ()*+,-./:;=[\\]{}", c) != nullptr;
}

constexpr double REPEAT_INTERVAL = 0.1;
constexpr double REPEAT_AT_ONCE = 100;
// Free pixels a line keeps at the right: the wrap leaves 20, typing
// re-wraps only past 15, so a typed character rarely triggers a re-wrap.
constexpr int32_t WRAP_MARGIN = 20;
constexpr int32_t TYPING_MARGIN = 15;
} // namespace

TextField::TextField(std::string id_, std::string text_, bool editable_)
    : InterfaceComponent(std::move(id_), std::move(text_), KIND_TEXT_FIELD, 0, 0, 0, 0) {
    lineHeight = textExtent("a").height + 5;
    pack();
    repeatTimer = REPEAT_AT_ONCE;
    // Deliberately without a pack: the owner's first placement re-wraps.
    x = 0;
    y = 0;
    width = 400;
    height = 200;
    updateEdges();
    editable = editable_;
    focused = false;
    inputFilter = FILTER_ANY;
}

void TextField::pushWrapped(std::string& line, std::string& word) {
    if (textExtent(line + word).width > width - WRAP_MARGIN) {
        lines.push_back(line);
        lines.push_back(word);
    } else {
        lines.push_back(line + word);
    }
    line.clear();
    word.clear();
}

void TextField::pack() {
    lines.clear();
    std::string line, word;
    for (char c : text) {
        if (isSeparator(c)) {
            word += c;
            if (textExtent(line + word).width > width - WRAP_MARGIN) {
                lines.push_back(line);
                line.clear();
            }
            line += word;
            word.clear();
        } else if (c == '\n') {
            pushWrapped(line, word);
        } else {
            word += c;
        }
    }
    pushWrapped(line, word);

    lineHeight = textExtent("A").height + 5;
    // A container can hand a field a tiny or even negative height; a field
    // always shows at least one line.
    visibleLines = lineHeight > 0 ? (height - 10) / lineHeight : 1;
    if (visibleLines < 1)
        visibleLines = 1;
    updateEdges();
}

void TextField::setText(const std::string& newText) {
    text = newText;
    pack();
}

InterfaceComponent* TextField::handleClick(int32_t button, int32_t clickKind, int32_t px,
                                           int32_t py) {
    if (button != MouseButton::Left)
        return nullptr;
    if (clickKind == CLICK_PRESS) {
        // The squares' own tests are strict and answer even when the
        // squares are not drawn.
        const bool inSquareColumn = right - SCROLL_SQUARE < px && px < right;
        if (inSquareColumn && top - SCROLL_SQUARE < py && py < top) {
            scrollUpHeld = true;
            repeatTimer = REPEAT_AT_ONCE;
            return nullptr;
        }
        if (inSquareColumn && y < py && py < y + SCROLL_SQUARE) {
            scrollDownHeld = true;
            repeatTimer = REPEAT_AT_ONCE;
            return nullptr;
        }
        if (contains(px, py)) {
            if (editable) {
                focused = true;
                scrollToEnd();
                return this;
            }
            repeatTimer = REPEAT_AT_ONCE;
            return nullptr;
        }
        focused = false;
        repeatTimer = REPEAT_AT_ONCE;
        return nullptr;
    }
    if (clickKind == CLICK_RELEASE) {
        scrollUpHeld = false;
        scrollDownHeld = false;
        repeatTimer = REPEAT_AT_ONCE;
    }
    return nullptr;
}

void TextField::update(double seconds) {
    if (repeatTimer >= REPEAT_INTERVAL) {
        if (scrollDownHeld)
            scrollDown();
        else if (scrollUpHeld && firstLine > 0)
            --firstLine;
        repeatTimer = 0;
    } else {
        repeatTimer += seconds;
    }
}

bool TextField::accepts(char c) const {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    const bool digit = c >= '0' && c <= '9';
    if (inputFilter == FILTER_LETTERS)
        return letter;
    if (inputFilter == FILTER_DIGITS)
        return digit;
    return true;
}

void TextField::appendChar(char c) {
    if (!accepts(c) || (maxLength > 0 && text.size() >= maxLength))
        return;
    text += c;
    lines.back() += c;
    if (textExtent(lines.back()).width > width - TYPING_MARGIN)
        pack();
    scrollToEnd();
}

void TextField::deleteLastChar() {
    if (lines.back().empty() && lines.size() == 1)
        return;
    if (text.empty()) {
        // The lines can hold characters that `text` no longer has (a
        // backspace on an empty last line removes a character of `text`
        // but none on screen). Once `text` is empty there is nothing left
        // to delete: show what it really holds.
        pack();
        scrollToEnd();
        return;
    }
    text.pop_back();
    if (!lines.back().empty())
        lines.back().pop_back();
    if (lines.back().empty() && lines.size() >= 2)
        lines.pop_back();
    scrollToEnd();
}

void TextField::scrollToEnd() {
    const int32_t end = static_cast<int32_t>(lines.size()) - visibleLines;
    firstLine = end > 0 ? end : 0;
}

bool TextField::scrollDown() {
    if (static_cast<int32_t>(lines.size()) - 1 < firstLine + visibleLines)
        return false;
    ++firstLine;
    return true;
}
