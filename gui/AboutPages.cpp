#include "gui/AboutPages.h"

#include "gui/InterfaceManager.h"
#include "gui/TextField.h"

std::string aboutText() {
    return std::string("Kinemorph.\n") +
           "Written by the Kinemorph developers, who started the work in 2026. Press F1 "
           "on the working screen for every shortcut.\n\n" +
           "This project uses the following libraries: \n" +
           "- IMath for 3d and 2d Vector management \n" +
           "- SFML (Simple and Fast Multimedia Library) for window management, and sound "
           "management \n" +
           "- FreeType and FTGL for displaying text via OpenGL \n" +
           "- GLEW for OpenGL extentions \n" + "The project also uses two Free Fonts: \n" +
           "Lacuna and Echolot \n" +
           "Lacuna and Echolot are free fonts; Kinemorph thanks their designers, who are "
           "named in the licence files shipped beside the fonts.\n\n" +
           "And of course, the project uses OpenGL for all graphics \n";
}

std::string authorText() {
    return "Kinemorph is made by a small team of developers who like to see figures move. "
           "It began as a tool to sketch poses quickly and grew into a key frame animator "
           "with easing, playback and files of its own. Every panel and button you see is "
           "drawn by the program itself. We hope it is fun to use.";
}

void buildAboutPages(InterfaceManager& manager,
                     std::vector<std::unique_ptr<InterfaceComponent>>& keep) {
    int32_t about = manager.addPage(0, "About");
    int32_t creator = manager.addPage(about, "About the Creator");
    auto author = std::make_unique<TextField>("TXT_AUTHOR", authorText(), false);
    manager.addToPage(author.get(), creator);
    keep.push_back(std::move(author));
    auto aboutField = std::make_unique<TextField>("TXT_ABOUT", aboutText(), false);
    aboutField->editable = true;
    manager.addToPage(aboutField.get(), about);
    keep.push_back(std::move(aboutField));
}
