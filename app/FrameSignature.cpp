#include "app/FrameSignature.h"

#include "skeleton/Bone.h"
#include "skeleton/Skeleton.h"

#include <cstring>

void FrameSignature::add(const std::string& text) {
    texts += std::to_string(text.size());
    texts += ':';
    texts += text;
}

void FrameSignature::addSkeleton(const Skeleton& skeleton, double alpha) {
    add(alpha);
    add(skeleton.boneCount());
    for (int i = 0; i < skeleton.boneCount(); ++i) {
        const Bone& bone = *skeleton.boneAt(i);
        // The root draws nothing.
        add(bone.parent() ? 1 : 0);
        if (!bone.parent())
            continue;
        const AxisFrame& frame = bone.frame();
        for (const Vec3& v : {bone.position(), frame.axisX, frame.axisY, frame.axisZ}) {
            add(v.x);
            add(v.y);
            add(v.z);
        }
        add(bone.length());
        add(bone.selected() ? 1 : 0);
    }
    if (alpha >= 1) {
        const Vec3& origin = skeleton.origin();
        add(origin.x);
        add(origin.y);
        add(origin.z);
    }
}

bool FrameSignature::operator==(const FrameSignature& other) const {
    return values.size() == other.values.size() && texts == other.texts &&
           (values.empty() ||
            std::memcmp(values.data(), other.values.data(), values.size() * sizeof(double)) == 0);
}

void SignaturePainter::shape(int kind, const Vertex2D* vertices, int count) {
    out.add(kind);
    out.add(count);
    for (int i = 0; i < count; ++i) {
        const Vertex2D& v = vertices[i];
        for (double value : {v.x, v.y, v.color.r, v.color.g, v.color.b, v.color.a})
            out.add(value);
    }
}

void SignaturePainter::label(int kind, const std::string& text, double x, double y,
                             const Rgba& color) {
    out.add(kind);
    for (double value : {x, y, color.r, color.g, color.b, color.a})
        out.add(value);
    out.add(text);
}
