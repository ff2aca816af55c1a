#include "tests/support/FrameReadback.h"

#include <GL/glew.h>

#include <sstream>

std::vector<uint8_t> readFrame(int width, int height) {
    glFinish();
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

std::string firstFrameDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b,
                                 int width, const std::string& aName, const std::string& bName) {
    if (a.size() != b.size())
        return "the frames differ in size";
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) {
            std::ostringstream out;
            const size_t p = i / 4;
            out << "pixel (" << p % width << ", " << p / width << ") from the bottom-left, channel "
                << i % 4 << ": " << int(a[i]) << " " << aName << ", " << int(b[i]) << " " << bName;
            return out.str();
        }
    return "";
}
