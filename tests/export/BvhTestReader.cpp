#include "BvhTestReader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace {

Mat4 axisRotation(char axis, double degrees) {
    const double r = degrees * M_PI / 180;
    const double c = std::cos(r), s = std::sin(r);
    Mat4 m = identityMatrix();
    // Column-major: m[column * 4 + row].
    if (axis == 'X') {
        m[5] = c, m[6] = s, m[9] = -s, m[10] = c;
    } else if (axis == 'Y') {
        m[0] = c, m[2] = -s, m[8] = s, m[10] = c;
    } else {
        m[0] = c, m[1] = s, m[4] = -s, m[5] = c;
    }
    return m;
}

Vec3 readVec3(std::istream& in) {
    double x, y, z;
    in >> x >> y >> z;
    return Vec3(x, y, z);
}

void expectWord(std::istream& in, const std::string& word) {
    std::string token;
    in >> token;
    ASSERT_EQ(token, word);
}

} // namespace

BvhTestFile BvhTestFile::parse(const std::string& text) {
    BvhTestFile file;
    std::istringstream in(text);
    expectWord(in, "HIERARCHY");
    std::vector<int> open;
    int values = 0;
    std::string token;
    while (in >> token && token != "MOTION") {
        if (token == "ROOT" || token == "JOINT") {
            EXPECT_EQ(token == "ROOT", file.joints.empty());
            Joint joint;
            in >> joint.name;
            joint.parent = open.empty() ? -1 : open.back();
            expectWord(in, "{");
            expectWord(in, "OFFSET");
            joint.offset = readVec3(in);
            expectWord(in, "CHANNELS");
            int count = 0;
            in >> count;
            joint.channels.resize(count);
            for (auto& channel : joint.channels) {
                in >> channel;
            }
            joint.firstValue = values;
            values += count;
            file.joints.push_back(joint);
            open.push_back(static_cast<int>(file.joints.size() - 1));
        } else if (token == "End") {
            expectWord(in, "Site");
            expectWord(in, "{");
            expectWord(in, "OFFSET");
            EXPECT_FALSE(open.empty());
            file.joints[open.back()].hasEndSite = true;
            file.joints[open.back()].endSite = readVec3(in);
            expectWord(in, "}");
        } else {
            EXPECT_EQ(token, "}");
            EXPECT_FALSE(open.empty());
            open.pop_back();
        }
    }
    EXPECT_TRUE(open.empty()) << "unbalanced braces";
    expectWord(in, "Frames:");
    int frames = 0;
    in >> frames;
    expectWord(in, "Frame");
    expectWord(in, "Time:");
    in >> file.frameTime;
    for (int f = 0; f < frames; ++f) {
        std::vector<double> line(values);
        for (double& v : line) {
            in >> v;
        }
        EXPECT_TRUE(in.good()) << "motion line " << f;
        file.frames.push_back(line);
    }
    EXPECT_FALSE(in >> token) << "text after the last motion line: " << token;
    return file;
}

int BvhTestFile::jointNamed(const std::string& name) const {
    for (std::size_t i = 0; i < joints.size(); ++i) {
        if (joints[i].name == name) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::vector<Mat4> BvhTestFile::worldMatrices(int frame) const {
    std::vector<Mat4> world(joints.size());
    for (std::size_t i = 0; i < joints.size(); ++i) {
        const Joint& joint = joints[i];
        Vec3 translation = joint.offset;
        Mat4 rotation = identityMatrix();
        for (std::size_t c = 0; c < joint.channels.size(); ++c) {
            const double v = frames.at(frame).at(joint.firstValue + c);
            const std::string& channel = joint.channels[c];
            if (channel.find("position") != std::string::npos) {
                translation[channel[0] - 'X'] += v;
            } else {
                rotation = rotation * axisRotation(channel[0], v);
            }
        }
        Mat4 local = trsMatrix(translation, {0, 0, 0, 1}) * rotation;
        // Joints come parents first, as the hierarchy lists them.
        world[i] = joint.parent < 0 ? local : world[joint.parent] * local;
    }
    return world;
}
