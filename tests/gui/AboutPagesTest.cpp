#include "gui/AboutPages.h"
#include "gui/KeyCodes.h"
#include "tests/gui/ManagerFixture.h"

#include <algorithm>

namespace {

class AboutPagesTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        buildAboutPages(manager, owned);
        manager.update(0); // the layout is due
    }
    std::vector<std::string> ids(int32_t page) const {
        std::vector<std::string> found;
        for (const InterfaceComponent* c : manager.pages[static_cast<size_t>(page)])
            found.push_back(c->id);
        return found;
    }
    // Left click on the component of the current page with this id.
    void clickOn(const std::string& id) {
        for (InterfaceComponent* c : manager.pages[static_cast<size_t>(manager.currentPage)])
            if (c->id == id) {
                const Point2i p = centre(c);
                click(p.x, p.y);
                return;
            }
        ADD_FAILURE() << id << " is not on page " << manager.currentPage;
    }
};

// Page tree:  0 "Main Menu K.M.P." -- 1 "About" -- 2 "About the Creator"
TEST_F(AboutPagesTest, BuildsThreePagesInTheirOrder) {
    ASSERT_EQ(manager.pageCount, 3);
    EXPECT_EQ(manager.pageTitles[0], "Main Menu K.M.P.");
    EXPECT_EQ(manager.pageTitles[1], "About");
    EXPECT_EQ(manager.pageTitles[2], "About the Creator");
    // The first component is drawn lowest.
    EXPECT_EQ(ids(0),
              (std::vector<std::string>{"SC_EXIT_BUTTON", "SC_GOTO_PAGE_1", "SC_RETURN_BUTTON"}));
    EXPECT_EQ(ids(1), (std::vector<std::string>{"SC_GOTO_PAGE_0", "SC_GOTO_PAGE_2", "TXT_ABOUT"}));
    EXPECT_EQ(ids(2), (std::vector<std::string>{"SC_GOTO_PAGE_1", "TXT_AUTHOR"}));
    EXPECT_EQ(manager.pages[1][0]->text, "Back");
    EXPECT_EQ(manager.pages[1][1]->text, "About the Creator");
    EXPECT_EQ(manager.pages[0][1]->text, "About");
    // Column from top to bottom: return, About, exit.
    EXPECT_GT(manager.pages[0][2]->y, manager.pages[0][1]->y);
    EXPECT_GT(manager.pages[0][1]->y, manager.pages[0][0]->y);
}

TEST_F(AboutPagesTest, ClicksGoForwardAndEscapeStepsBack) {
    EXPECT_TRUE(manager.handleKey(Key::Escape, false));
    EXPECT_EQ(manager.currentPage, 0);
    clickOn("SC_GOTO_PAGE_1");
    EXPECT_EQ(manager.currentPage, 1);
    clickOn("SC_GOTO_PAGE_2");
    EXPECT_EQ(manager.currentPage, 2);
    EXPECT_TRUE(manager.handleKey(Key::Escape, false));
    EXPECT_EQ(manager.currentPage, 1);
    EXPECT_TRUE(manager.handleKey(Key::Escape, false));
    EXPECT_EQ(manager.currentPage, 0);
    EXPECT_FALSE(manager.handleKey(Key::Escape, false));
    EXPECT_FALSE(manager.menuShown);
    // The "Back" button of page 1 leads home as well.
    manager.handleKey(Key::Escape, false);
    clickOn("SC_GOTO_PAGE_1");
    clickOn("SC_GOTO_PAGE_0");
    EXPECT_EQ(manager.currentPage, 0);
    // The presses of the system buttons reached the callback, nothing else.
    for (const Hit& h : hits)
        EXPECT_EQ(h.state, Button::STATE_PRESSED) << h.id;
}

TEST_F(AboutPagesTest, OnlyTheAboutTextTakesTyping) {
    manager.handleKey(Key::Escape, false);
    clickOn("SC_GOTO_PAGE_1");
    auto* about = static_cast<TextField*>(manager.pages[1][2]);
    const std::string before = about->text;
    clickOn("TXT_ABOUT");
    ASSERT_EQ(manager.focusedField, about);
    manager.handleKey('k', true);
    EXPECT_EQ(about->text, before + "K");

    clickOn("SC_GOTO_PAGE_2");
    auto* author = static_cast<TextField*>(manager.pages[2][1]);
    clickOn("TXT_AUTHOR");
    EXPECT_EQ(manager.focusedField, nullptr);
    manager.handleKey('k', false);
    EXPECT_EQ(author->text, authorText());
}

TEST_F(AboutPagesTest, FontNamesStandOnALineOfTheirOwn) {
    const auto* about = static_cast<const TextField*>(manager.pages[1][2]);
    EXPECT_EQ(about->width, 400);
    EXPECT_NE(std::find(about->lines.begin(), about->lines.end(), "Lacuna and Echolot "),
              about->lines.end());
    EXPECT_EQ(about->lines.front(), "Kinemorph.");
}

// The pieces given word for word stand in order, byte for byte. The two in
// our own words sit between them: the start line names the project and
// ends with an empty line, the font credit names both fonts and does too.
TEST(AboutText, FixedPiecesVerbatimAndOwnPiecesInPlace) {
    const std::string text = aboutText();
    const std::string head = "Kinemorph.\n";
    const std::string libraries =
        "This project uses the following libraries: \n"
        "- IMath for 3d and 2d Vector management \n"
        "- SFML (Simple and Fast Multimedia Library) for window management, and sound "
        "management \n"
        "- FreeType and FTGL for displaying text via OpenGL \n"
        "- GLEW for OpenGL extentions \n"
        "The project also uses two Free Fonts: \n"
        "Lacuna and Echolot \n";
    const std::string tail = "And of course, the project uses OpenGL for all graphics \n";

    ASSERT_EQ(text.rfind(head, 0), 0u);
    const size_t libs = text.find(libraries);
    ASSERT_NE(libs, std::string::npos);
    ASSERT_GE(text.size(), libs + libraries.size() + tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);

    const std::string start = text.substr(head.size(), libs - head.size());
    EXPECT_NE(start.find("Kinemorph"), std::string::npos) << start;
    EXPECT_NE(start.find("F1"), std::string::npos) << "the shortcuts are found through F1";
    ASSERT_GE(start.size(), 3u);
    EXPECT_EQ(start.substr(start.size() - 2), "\n\n");

    const size_t creditAt = libs + libraries.size();
    const std::string credit = text.substr(creditAt, text.size() - tail.size() - creditAt);
    EXPECT_NE(credit.find("Lacuna"), std::string::npos) << credit;
    EXPECT_NE(credit.find("Echolot"), std::string::npos) << credit;
    ASSERT_GE(credit.size(), 3u);
    EXPECT_EQ(credit.substr(credit.size() - 2), "\n\n");
    // One empty line each, no more.
    EXPECT_EQ(credit.find("\n"), credit.size() - 2);
}

} // namespace
