// Prints the added keys and gestures as Markdown table rows, from the one
// input map the program uses, for the README's Controls section:
//   build/print_shortcuts
#include "editor/InputMap.h"

#include <iostream>

int main() {
    std::cout << shortcutsMarkdown();
    return 0;
}
