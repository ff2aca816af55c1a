#include "gui/InterfaceComponent.h"
#include "gui/TextMetrics.h"

#include <gtest/gtest.h>

namespace {

// The smallest concrete component: records which virtual was reached.
class Probe : public InterfaceComponent {
public:
    Probe(const std::string& id, const std::string& text)
        : InterfaceComponent(id, text, 77, 0, 0, 0, 0) {}
    InterfaceComponent* handleClick(int32_t, int32_t, int32_t, int32_t) override {
        ++clicks;
        return this;
    }
    void handleMouseMove(int32_t, int32_t) override {}
    void handleMouseDrag(int32_t, int32_t) override {}
    void draw(Painter&) const override {}
    void update(double) override {}
    int clicks = 0;
};

class ComponentTest : public ::testing::Test {
protected:
    FixedWidthMetrics metrics{10, 12, 40, 60};
    void SetUp() override { installTextMetrics(&metrics); }
    void TearDown() override { installTextMetrics(nullptr); }
};

TEST_F(ComponentTest, ConstructionTakesTextSizePlusThree) {
    Probe p("ID", "Back"); // 4 chars: 40 x 12
    EXPECT_EQ(p.textWidth, 40);
    EXPECT_EQ(p.textHeight, 12);
    EXPECT_EQ(p.width, 43);
    EXPECT_EQ(p.height, 15);
    EXPECT_EQ(p.right, 43);
    EXPECT_EQ(p.top, 15);
    EXPECT_DOUBLE_EQ(p.color.r, 0.8);
    EXPECT_DOUBLE_EQ(p.highlightColor.g, 0.5);
    EXPECT_EQ(p.glow, 0);
    EXPECT_EQ(p.kind, 77);
}

TEST_F(ComponentTest, EmptyTextGivesThreeByThree) {
    Probe p("", "");
    EXPECT_EQ(p.width, 3);
    EXPECT_EQ(p.height, 3);
}

TEST_F(ComponentTest, SetSizeNeverShrinksBelowText) {
    Probe p("ID", "Wide label"); // 100 px
    p.setSize(10, 10);
    EXPECT_EQ(p.width, 103);
    EXPECT_EQ(p.height, 15);
    p.setSize(0, 0);
    EXPECT_EQ(p.width, 103);
    p.setSize(300, 40);
    EXPECT_EQ(p.width, 300);
    EXPECT_EQ(p.top, 40);
}

TEST_F(ComponentTest, SetPositionKeepsEdgesInStep) {
    Probe p("ID", "x");
    p.setSize(100, 25);
    p.setPosition(20, 30);
    EXPECT_EQ(p.right, 120);
    EXPECT_EQ(p.top, 55);
    EXPECT_EQ(p.getPosition().x, 20);
    EXPECT_EQ(p.getSize().height, 25);
}

TEST_F(ComponentTest, SetTextGrowsButNeverShrinks) {
    Probe p("ID", "ab");
    p.setText("a much longer label");
    EXPECT_EQ(p.width, 193);
    p.setText("a");
    EXPECT_EQ(p.textWidth, 10);
    EXPECT_EQ(p.width, 193);
    EXPECT_EQ(p.getText(), "a");
}

TEST_F(ComponentTest, FindByIdMatchesWholeIdOnly) {
    Probe p("MAIN_AXIS", "");
    EXPECT_EQ(p.findById("MAIN_AXIS"), &p);
    EXPECT_EQ(p.findById("MAIN"), nullptr);
    EXPECT_EQ(p.findById("MAIN_AXIS_INCR"), nullptr);
    EXPECT_EQ(p.findById(""), nullptr);
}

TEST_F(ComponentTest, HitTestIsInclusiveOnAllEdges) {
    Probe p("ID", "");
    p.setSize(10, 10);
    p.setPosition(5, 5);
    EXPECT_TRUE(p.contains(5, 5));
    EXPECT_TRUE(p.contains(15, 15));
    EXPECT_FALSE(p.contains(4, 10));
    EXPECT_FALSE(p.contains(10, 16));
}

TEST_F(ComponentTest, VirtualsDispatchThroughBasePointer) {
    InterfaceComponent* c = new Probe("ID", "");
    EXPECT_EQ(c->handleClick(0, CLICK_PRESS, 0, 0), c);
    EXPECT_EQ(static_cast<Probe*>(c)->clicks, 1);
    delete c; // destroys the whole object through the base pointer
}

TEST(TextMetrics, DefaultMeasurerAnswersWithoutFonts) {
    installTextMetrics(nullptr);
    TextSize s = textExtent("abc");
    EXPECT_GT(s.width, 0);
    EXPECT_EQ(textExtent("").width, 0);
    EXPECT_GT(titleExtent("abc").width, s.width);
}

} // namespace
