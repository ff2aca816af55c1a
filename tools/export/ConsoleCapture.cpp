#include "tools/export/ConsoleCapture.h"

#include <iostream>

ConsoleCapture::ConsoleCapture() : previous_(std::cout.rdbuf(buffer_.rdbuf())) {}

ConsoleCapture::~ConsoleCapture() {
    std::cout.rdbuf(previous_);
}
