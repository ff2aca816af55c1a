#pragma once

#include <memory>
#include <string>
#include <vector>

class InterfaceComponent;
class InterfaceManager;

// The text of the About page: the program, its start, the libraries and the
// fonts it uses.
std::string aboutText();
// The paragraph of the About the Creator page.
std::string authorText();

// Builds the menu pages after the main menu: "About" (page 1, reached from
// page 0) with its text field TXT_ABOUT, and "About the Creator" (page 2,
// reached from page 1) with TXT_AUTHOR. The manager only lists the text
// fields; they are handed to `keep`, which must outlive the manager's use.
void buildAboutPages(InterfaceManager& manager,
                     std::vector<std::unique_ptr<InterfaceComponent>>& keep);
