#include "gui/TextField.h"
#include "tests/gui/RecordingPainter.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// Fixed-width metrics: 10 px a character, so a 400-wide field wraps at 38
// characters (380 px) and a line is 12 + 5 = 17 px high.
class TextFieldTest : public GuiTest {
protected:
    // A field placed like the manager or a container would, so it is
    // wrapped to its box.
    TextField& make(const std::string& text, int32_t w = 400, int32_t h = 200,
                    bool editable = true) {
        field = std::make_unique<TextField>("TF", text, editable);
        field->setSize(w, h);
        field->setPosition(10, 20);
        return *field;
    }
    static std::string manyLines(int n) {
        std::string s = "line0";
        for (int i = 1; i < n; ++i)
            s += "\nline" + std::to_string(i);
        return s;
    }
    std::unique_ptr<TextField> field;
};

TEST_F(TextFieldTest, ConstructionWrapsAtTheTextSizeThenTakes400By200) {
    TextField f("TF", "ab cd", false);
    EXPECT_EQ(f.kind, KIND_TEXT_FIELD);
    EXPECT_EQ(f.width, 400);
    EXPECT_EQ(f.height, 200);
    EXPECT_EQ(f.top, 200);
    EXPECT_EQ(f.lineHeight, 17);
    EXPECT_EQ(f.inputFilter, TextField::FILTER_ANY);
    EXPECT_DOUBLE_EQ(f.repeatTimer, 100);
    EXPECT_FALSE(f.focused);
    EXPECT_FALSE(f.editable);
    // Wrapped while 53 px wide; the box fits after the first placement.
    EXPECT_EQ(f.lines.size(), 2u);
    f.setPosition(0, 0);
    ASSERT_EQ(f.lines.size(), 1u);
    EXPECT_EQ(f.lines[0], "ab cd");
    EXPECT_EQ(f.visibleLines, 11);
}

TEST_F(TextFieldTest, WrapsAtWordsAndKeepsSeparatorsWithTheWordBefore) {
    std::string fiveWords;
    for (int i = 0; i < 10; ++i)
        fiveWords += "aaaa ";
    TextField& f = make(fiveWords);
    ASSERT_EQ(f.lines.size(), 2u);
    EXPECT_EQ(f.lines[0], "aaaa aaaa aaaa aaaa aaaa aaaa aaaa ");
    EXPECT_EQ(f.lines[1], "aaaa aaaa aaaa ");

    f.setText("x=1;y=(2)");
    ASSERT_EQ(f.lines.size(), 1u);
    EXPECT_EQ(f.lines[0], "x=1;y=(2)");
}

TEST_F(TextFieldTest, OneOverlongWordGoesOnItsOwnLineUnsplit) {
    const std::string word(50, 'w'); // 500 px
    TextField& f = make(word);
    ASSERT_EQ(f.lines.size(), 2u);
    EXPECT_EQ(f.lines[0], "");
    EXPECT_EQ(f.lines[1], word);
}

TEST_F(TextFieldTest, NewlinesEndLinesAndTwoGiveAnEmptyOne) {
    TextField& f = make("a\n\nb");
    ASSERT_EQ(f.lines.size(), 3u);
    EXPECT_EQ(f.lines[0], "a");
    EXPECT_EQ(f.lines[1], "");
    EXPECT_EQ(f.lines[2], "b");
}

TEST_F(TextFieldTest, VisibleLinesIsAtLeastOne) {
    EXPECT_EQ(make("x", 400, 20).visibleLines, 1);
    EXPECT_EQ(make("x", 400, 220).visibleLines, 12);
    // A container can hand a child a negative size.
    EXPECT_EQ(make("x", -5, -40).visibleLines, 1);
}

TEST_F(TextFieldTest, ScrollToEndAndHeldSquares) {
    TextField& f = make(manyLines(30), 400, 220);
    ASSERT_EQ(f.lines.size(), 30u);
    ASSERT_EQ(f.visibleLines, 12);
    f.scrollToEnd();
    EXPECT_EQ(f.firstLine, 18);
    EXPECT_FALSE(f.scrollDown());
    EXPECT_EQ(f.firstLine, 18);

    // Upper square: one line at once, then one per 0.1 s, down to 0.
    EXPECT_EQ(f.handleClick(0, CLICK_PRESS, f.right - 5, f.top - 5), nullptr);
    EXPECT_TRUE(f.scrollUpHeld);
    f.update(0.1);
    EXPECT_EQ(f.firstLine, 17);
    f.update(0.1);
    EXPECT_EQ(f.firstLine, 17);
    f.update(0.1);
    EXPECT_EQ(f.firstLine, 16);
    for (int i = 0; i < 100; ++i)
        f.update(0.1);
    EXPECT_EQ(f.firstLine, 0);

    // A release anywhere lets go.
    f.handleClick(0, CLICK_RELEASE, -100, -100);
    EXPECT_FALSE(f.scrollUpHeld);
    f.handleClick(0, CLICK_PRESS, f.right - 1, f.y + 1);
    EXPECT_TRUE(f.scrollDownHeld);
    for (int i = 0; i < 100; ++i)
        f.update(0.1);
    EXPECT_EQ(f.firstLine, 18);
}

TEST_F(TextFieldTest, ScrollSquareTestsAreStrict) {
    TextField& f = make(manyLines(3));
    // On the squares' edges the press falls to the field and focuses it.
    EXPECT_EQ(f.handleClick(0, CLICK_PRESS, f.right - 15, f.top - 5), &f);
    EXPECT_EQ(f.handleClick(0, CLICK_PRESS, f.right, f.y + 5), &f);
    EXPECT_EQ(f.handleClick(0, CLICK_PRESS, f.right - 5, f.top), &f);
    EXPECT_FALSE(f.scrollUpHeld || f.scrollDownHeld);
}

TEST_F(TextFieldTest, FocusFollowsLeftPresses) {
    TextField& f = make("text");
    EXPECT_EQ(f.handleClick(1, CLICK_PRESS, 50, 50), nullptr);
    EXPECT_FALSE(f.focused);
    EXPECT_EQ(f.handleClick(0, CLICK_PRESS, 50, 50), &f);
    EXPECT_TRUE(f.focused);
    EXPECT_EQ(f.handleClick(0, CLICK_RELEASE, 50, 50), nullptr);
    EXPECT_TRUE(f.focused);
    EXPECT_EQ(f.handleClick(0, CLICK_PRESS, 500, 50), nullptr);
    EXPECT_FALSE(f.focused);

    f.editable = false;
    EXPECT_EQ(f.handleClick(0, CLICK_PRESS, 50, 50), nullptr);
    EXPECT_FALSE(f.focused);
}

TEST_F(TextFieldTest, FiltersDropRefusedCharacters) {
    TextField& f = make("");
    f.inputFilter = TextField::FILTER_DIGITS;
    for (char c : {'9', 'x', 'X', ' '})
        f.appendChar(c);
    EXPECT_EQ(f.text, "9");
    f.setText("");
    f.inputFilter = TextField::FILTER_LETTERS;
    for (char c : {'9', 'x', 'X', ' '})
        f.appendChar(c);
    EXPECT_EQ(f.text, "xX");
    f.setText("");
    f.inputFilter = TextField::FILTER_ANY;
    for (char c : {'9', 'x', 'X', ' '})
        f.appendChar(c);
    EXPECT_EQ(f.text, "9xX ");
    EXPECT_EQ(f.lines.back(), "9xX ");
}

TEST_F(TextFieldTest, TypingPastTheEdgeRewrapsAndShowsTheNewCharacter) {
    TextField& f = make("", 400, 40); // one visible line
    for (int i = 0; i < 38; ++i)
        f.appendChar('a');
    EXPECT_EQ(f.lines.size(), 1u); // 380 px is not past 385
    f.appendChar('b');
    ASSERT_EQ(f.lines.size(), 2u);
    EXPECT_EQ(f.lines[1], std::string(38, 'a') + "b");
    EXPECT_EQ(f.firstLine, 1);
}

TEST_F(TextFieldTest, BackspaceRemovesCharactersAndEmptyLastLines) {
    TextField& f = make("");
    f.deleteLastChar();
    EXPECT_EQ(f.lines.size(), 1u);
    EXPECT_EQ(f.text, "");

    f.setText("ab\nc");
    f.deleteLastChar();
    EXPECT_EQ(f.text, "ab\n");
    ASSERT_EQ(f.lines.size(), 1u);
    EXPECT_EQ(f.lines[0], "ab");
}

// A trailing wrap leaves an empty last line that a backspace removes
// together with a character of `text` but none on screen, so the lines can
// hold more than the text. Deleting on must stop at an empty text instead
// of removing characters that are not there.
TEST_F(TextFieldTest, BackspaceNeverDeletesPastAnEmptyText) {
    TextField& f = make(std::string(50, 'w') + " ");
    ASSERT_EQ(f.lines.size(), 3u);
    for (int i = 0; i < 200; ++i)
        f.deleteLastChar();
    EXPECT_EQ(f.text, "");
    ASSERT_EQ(f.lines.size(), 1u);
    EXPECT_EQ(f.lines[0], "");
    f.appendChar('z');
    EXPECT_EQ(f.text, "z");
    EXPECT_EQ(f.lines.back(), "z");
}

TEST_F(TextFieldTest, LongTextInATinyFieldStaysDrawable) {
    TextField& f = make("", 3, 3);
    for (int i = 0; i < 2000; ++i)
        f.appendChar(i % 7 == 0 ? ' ' : 'k');
    EXPECT_EQ(f.text.size(), 2000u);
    RecordingPainter p;
    f.draw(p);
    EXPECT_EQ(p.of(RecordingPainter::Text).size(), 1u);
    for (int i = 0; i < 2500; ++i)
        f.deleteLastChar();
    EXPECT_EQ(f.text, "");
    EXPECT_FALSE(f.lines.empty());
}

TEST_F(TextFieldTest, DrawingStopsAtTheLastLine) {
    TextField& f = make(manyLines(30), 400, 220);
    f.scrollToEnd();
    f.setText("short"); // firstLine 18 now names no line
    RecordingPainter p;
    f.draw(p);
    EXPECT_TRUE(p.of(RecordingPainter::Text).empty());
    f.firstLine = 0;
    RecordingPainter q;
    f.draw(q);
    EXPECT_EQ(q.of(RecordingPainter::Text).size(), 1u);
}

TEST_F(TextFieldTest, DrawsBodySquaresAndLines) {
    TextField& f = make(manyLines(3)); // at (10, 20), 400 x 200
    f.setHighlightColor(0.2, 0.7, 1.0);
    f.focused = true;
    f.scrollUpHeld = true;
    RecordingPainter p;
    f.draw(p);
    ASSERT_EQ(p.calls.size(), 6u);
    const auto& body = p.calls[0].vertices;
    expectCorner(body[0], 10, 20);
    expectCorner(body[2], 410, 220);
    EXPECT_DOUBLE_EQ(body[0].color.a, 0.5); // focused: highlight at the bottom
    EXPECT_DOUBLE_EQ(body[0].color.g, 0.7);
    EXPECT_DOUBLE_EQ(body[3].color.a, 0.7);
    const auto& squares = p.calls[1].vertices;
    ASSERT_EQ(squares.size(), 8u);
    expectCorner(squares[0], 395, 205);
    expectCorner(squares[2], 410, 220);
    expectCorner(squares[4], 395, 20);
    expectCorner(squares[6], 410, 35);
    EXPECT_DOUBLE_EQ(squares[0].color.g, 0.7); // held
    EXPECT_DOUBLE_EQ(squares[4].color.g, 0.8); // idle, in `color`
    const auto& chevrons = p.calls[2].vertices;
    ASSERT_EQ(chevrons.size(), 8u);
    expectCorner(chevrons[1], 403, 220); // the upper one points up
    expectCorner(chevrons[5], 403, 20);  // the lower one down
    EXPECT_EQ(p.calls[3].text, "line0");
    EXPECT_DOUBLE_EQ(p.calls[3].x, 15);
    EXPECT_DOUBLE_EQ(p.calls[3].y, 20 + 200 - 17 - 2);
    EXPECT_DOUBLE_EQ(p.calls[4].y, 20 + 200 - 17 - 2 - 17);

    f.setText("one line");
    RecordingPainter single;
    f.draw(single);
    EXPECT_EQ(single.calls.size(), 2u); // no squares
}

} // namespace
