#include "ImportTestSupport.h"

#include "animation/Animation.h"
#include "import/BvhReader.h"
#include "import/Rotations.h"
#include "motion/MotionSampler.h"
#include "skeleton/DefaultFigure.h"
#include "tools/export/BvhWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

// A joint being dressed: its rest offset, its turn and move at every
// frame, in world axes at rest (as BVH channels mean them).
struct Working {
    std::string name;
    int parent;
    Vec3 offset;
    bool hasEndSite;
    Vec3 endSite;
    std::vector<Quat> turns;
    std::vector<Vec3> moves;
    bool root;
};

std::vector<Working> unpack(const BvhClip& clip) {
    std::vector<Working> joints;
    for (std::size_t j = 0; j < clip.joints.size(); ++j) {
        const BvhJoint& in = clip.joints[j];
        Working w{in.name, in.parent, in.offset, in.hasEndSite, in.endSite, {}, {}, in.parent < 0};
        for (int f = 0; f < clip.frameCount; ++f) {
            Quat turn;
            Vec3 move(0, 0, 0);
            for (std::size_t c = 0; c < in.channels.size(); ++c) {
                const double v = clip.frame(f)[in.firstValue + c];
                const int kind = static_cast<int>(in.channels[c]);
                if (kind < 3) {
                    move[kind] += v;
                } else {
                    turn = turn * axisTurn("XYZ"[kind - 3], v);
                }
            }
            w.turns.push_back(turn);
            w.moves.push_back(move);
        }
        joints.push_back(w);
    }
    return joints;
}

int find(const std::vector<Working>& joints, const std::string& name) {
    for (std::size_t j = 0; j < joints.size(); ++j) {
        if (joints[j].name == name) {
            return static_cast<int>(j);
        }
    }
    ADD_FAILURE() << "no joint " << name;
    return -1;
}

bool below(const std::vector<Working>& joints, int j, int ancestor) {
    for (; j >= 0; j = joints[j].parent) {
        if (j == ancestor) {
            return true;
        }
    }
    return false;
}

// Parents before children again, after joints were added or taken out
// (those are marked with parent -2).
std::vector<Working> reordered(const std::vector<Working>& joints) {
    std::vector<Working> out;
    std::vector<int> newIndex(joints.size(), -1);
    std::vector<int> stack;
    for (std::size_t j = joints.size(); j-- > 0;) {
        if (joints[j].parent == -1) {
            stack.push_back(static_cast<int>(j));
        }
    }
    while (!stack.empty()) {
        const int j = stack.back();
        stack.pop_back();
        Working w = joints[j];
        w.parent = w.parent < 0 ? -1 : newIndex[w.parent];
        newIndex[j] = static_cast<int>(out.size());
        out.push_back(w);
        for (std::size_t c = joints.size(); c-- > 0;) {
            if (joints[c].parent == j) {
                stack.push_back(static_cast<int>(c));
            }
        }
    }
    return out;
}

// Euler angles in degrees of `q` for the order "ABC" (R = RA RB RC).
Vec3 eulerAngles(const Quat& q, const std::string& order) {
    const double m[3][3] = {
        {1 - 2 * (q.y * q.y + q.z * q.z), 2 * (q.x * q.y - q.w * q.z), 2 * (q.x * q.z + q.w * q.y)},
        {2 * (q.x * q.y + q.w * q.z), 1 - 2 * (q.x * q.x + q.z * q.z), 2 * (q.y * q.z - q.w * q.x)},
        {2 * (q.x * q.z - q.w * q.y), 2 * (q.y * q.z + q.w * q.x),
         1 - 2 * (q.x * q.x + q.y * q.y)}};
    const int i = order[0] - 'X', j = order[1] - 'X', k = order[2] - 'X';
    // Even orders (XYZ, YZX, ZXY) against odd ones.
    const double s = (j - i + 3) % 3 == 1 ? 1 : -1;
    const double b = std::asin(std::clamp(s * m[i][k], -1.0, 1.0));
    const double a = std::atan2(-s * m[j][k], m[k][k]);
    const double c = std::atan2(-s * m[i][j], m[i][i]);
    return Vec3(a, b, c) * (180 / M_PI);
}

std::string number(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", v);
    return text;
}

} // namespace

Quat axisTurn(char axis, double degrees) {
    const Vec3 unit(axis == 'X', axis == 'Y', axis == 'Z');
    return quatAboutAxis(unit, degrees * M_PI / 180);
}

std::string importSourceDir() {
    const char* source = std::getenv("KINEMORPH_SOURCE_DIR");
    return source ? source : std::filesystem::current_path().string();
}

std::string figureSkeletonPath() {
    return importSourceDir() + "/resources/config/skeleton/default.rgcf";
}

std::string mocapClipPath() {
    return importSourceDir() + "/tests/data/mocap/cmu-131_02.bvh";
}

BvhClip capturedWalk(int frames) {
    BvhClip clip;
    std::string error;
    EXPECT_TRUE(readBvhFile(mocapClipPath(), clip, error)) << error;
    if (frames > 0 && frames < clip.frameCount) {
        clip.frameCount = frames;
        clip.values.resize(static_cast<std::size_t>(frames) * clip.valuesPerFrame);
    }
    return clip;
}

std::unique_ptr<Skeleton> loadFigure() {
    auto figure = std::make_unique<Skeleton>(figureSkeletonPath(), 0, 0.5, 0);
    EXPECT_TRUE(figure->complete());
    return figure;
}

BvhClip figureClip(const std::string& animationPath, double fps) {
    Animation animation(animationPath);
    EXPECT_TRUE(animation.valid()) << animationPath;
    return figureClip(animation, fps);
}

BvhClip figureClip(const Animation& animation, double fps) {
    Skeleton skeleton(figureSkeletonPath(), 0, SKELETON_ORIGIN_Y, 0);
    ExportRig rig;
    SampledMotion motion;
    std::string error;
    EXPECT_TRUE(makeExportRig(skeleton, rig, error)) << error;
    EXPECT_TRUE(sampleMotion(skeleton, animation, fps, SampleSpacing::Uniform, motion, error))
        << error;
    BvhClip clip;
    EXPECT_TRUE(parseBvh(bvhText(rig, motion), clip, error)) << error;
    return clip;
}

BvhClip walkClip() {
    return figureClip(importSourceDir() + "/resources/config/skeleton/animations/walk.rgaf", 30);
}

BvhClip dressClip(const BvhClip& clip, const Dress& dress) {
    std::vector<Working> joints = unpack(clip);
    const int frames = clip.frameCount;
    for (const std::string& name : dress.remove) {
        // Its turn goes to its children: the same motion where it did not
        // turn or its children sit on its point.
        const int j = find(joints, name);
        for (Working& w : joints) {
            if (w.parent == j) {
                w.parent = joints[j].parent;
                w.offset += joints[j].offset;
                for (int f = 0; f < frames; ++f) {
                    w.turns[f] = joints[j].turns[f] * w.turns[f];
                }
            }
        }
        joints[j].parent = -2;
    }
    for (const auto& [name, siblings] : dress.insertAbove) {
        const int first = find(joints, siblings.front());
        Working w{name,
                  joints[first].parent,
                  joints[first].offset,
                  false,
                  Vec3(0, 0, 0),
                  std::vector<Quat>(frames),
                  std::vector<Vec3>(frames, Vec3(0, 0, 0)),
                  false};
        joints.push_back(w);
        for (const std::string& sibling : siblings) {
            Working& s = joints[find(joints, sibling)];
            EXPECT_LT((s.offset - w.offset).length(), 1e-9) << sibling;
            s.parent = static_cast<int>(joints.size()) - 1;
            s.offset = Vec3(0, 0, 0);
        }
    }
    for (const Dress::Leaf& leaf : dress.add) {
        // The new joint takes over from its parent's End Site, if any.
        const int parent = find(joints, leaf.parent);
        const Vec3 tip = joints[parent].endSite;
        joints[parent].hasEndSite = false;
        joints.push_back({leaf.name, parent, tip * leaf.along + leaf.aside, true,
                          tip * leaf.endAlong + leaf.endAside, std::vector<Quat>(frames),
                          std::vector<Vec3>(frames, Vec3(0, 0, 0)), false});
    }
    // Parents first again, taken-out joints left behind.
    joints = reordered(joints);

    for (const auto& [name, turn] : dress.restTurns) {
        // The subtree's rest turns by `turn`; its joints' turns make up
        // for it, so every world pose stays.
        const int top = find(joints, name);
        const Quat back = conjugate(turn);
        for (std::size_t j = 0; j < joints.size(); ++j) {
            Working& w = joints[j];
            if (static_cast<int>(j) == top) {
                for (Quat& q : w.turns) {
                    q = q * back;
                }
                w.endSite = rotate(turn, w.endSite);
            } else if (below(joints, static_cast<int>(j), top)) {
                for (Quat& q : w.turns) {
                    q = turn * q * back;
                }
                w.offset = rotate(turn, w.offset);
                w.endSite = rotate(turn, w.endSite);
            }
        }
    }
    if (dress.zUp) {
        const Quat up = axisTurn('X', 90);
        const Quat back = conjugate(up);
        for (Working& w : joints) {
            w.offset = rotate(up, w.offset);
            w.endSite = rotate(up, w.endSite);
            for (Quat& q : w.turns) {
                q = up * q * back;
            }
            for (Vec3& m : w.moves) {
                m = rotate(up, m);
            }
        }
    }
    BvhClip out;
    out.frameCount = frames;
    out.frameTime = clip.frameTime;
    for (const Working& w : joints) {
        BvhJoint j;
        j.name = dress.names.count(w.name) ? dress.names.at(w.name) : w.name;
        j.parent = w.parent;
        j.offset = w.offset * dress.scale;
        j.hasEndSite = w.hasEndSite;
        j.endSite = w.endSite * dress.scale;
        if (w.root || dress.sixChannels) {
            j.channels = {BvhChannel::Xposition, BvhChannel::Yposition, BvhChannel::Zposition};
        }
        const std::string order =
            dress.orders.count(j.name) ? dress.orders.at(j.name) : dress.order;
        for (char axis : order) {
            j.channels.push_back(static_cast<BvhChannel>(3 + axis - 'X'));
        }
        j.firstValue = out.valuesPerFrame;
        out.valuesPerFrame += static_cast<int>(j.channels.size());
        if (j.parent >= 0) {
            out.joints[j.parent].children.push_back(static_cast<int>(out.joints.size()));
        }
        out.joints.push_back(j);
    }
    for (int f = 0; f < frames; ++f) {
        for (std::size_t j = 0; j < joints.size(); ++j) {
            const BvhJoint& joint = out.joints[j];
            if (joint.channels.size() == 6) {
                // The root moves by its channels; other joints' position
                // channels restate their offsets, as sensor suits write them.
                const Vec3 move = joints[j].root ? joints[j].moves[f] * dress.scale : Vec3(0, 0, 0);
                for (int c = 0; c < 3; ++c) {
                    out.values.push_back(move[c]);
                }
            }
            std::string order;
            for (std::size_t c = joint.channels.size() - 3; c < joint.channels.size(); ++c) {
                order += static_cast<char>('X' + static_cast<int>(joint.channels[c]) - 3);
            }
            const Vec3 angles = eulerAngles(joints[j].turns[f], order);
            for (int c = 0; c < 3; ++c) {
                out.values.push_back(angles[c]);
            }
        }
    }
    return out;
}

std::string bvhText(const BvhClip& clip, bool crlf) {
    const std::string end = crlf ? "\r\n" : "\n";
    std::string out = "HIERARCHY" + end;
    const char* names[] = {"Xposition", "Yposition", "Zposition",
                           "Xrotation", "Yrotation", "Zrotation"};
    std::vector<int> open;
    auto close = [&](int until) {
        while (!open.empty() && open.back() != until) {
            const int j = open.back();
            open.pop_back();
            const std::string pad(open.size() + 1, '\t');
            if (clip.joints[j].hasEndSite) {
                const Vec3& e = clip.joints[j].endSite;
                out += pad + "End Site" + end + pad + "{" + end + pad + "\tOFFSET " + number(e.x) +
                       " " + number(e.y) + " " + number(e.z) + end + pad + "}" + end;
            }
            out += std::string(open.size(), '\t') + "}" + end;
        }
    };
    for (std::size_t j = 0; j < clip.joints.size(); ++j) {
        const BvhJoint& joint = clip.joints[j];
        close(joint.parent);
        const std::string pad(open.size(), '\t');
        out += pad + (joint.parent < 0 ? "ROOT " : "JOINT ") + joint.name + end + pad + "{" + end;
        out += pad + "\tOFFSET " + number(joint.offset.x) + " " + number(joint.offset.y) + " " +
               number(joint.offset.z) + end;
        out += pad + "\tCHANNELS " + std::to_string(joint.channels.size());
        for (BvhChannel c : joint.channels) {
            out += std::string(" ") + names[static_cast<int>(c)];
        }
        out += end;
        open.push_back(static_cast<int>(j));
    }
    close(-1);
    out += "MOTION" + end + "Frames: " + std::to_string(clip.frameCount) + end +
           "Frame Time: " + number(clip.frameTime) + end;
    for (int f = 0; f < clip.frameCount; ++f) {
        for (int v = 0; v < clip.valuesPerFrame; ++v) {
            out += (v ? " " : "") + number(clip.frame(f)[v]);
        }
        out += end;
    }
    return out;
}
