#include "tools/export/GltfWriter.h"

#include "tools/export/Base64.h"
#include "tools/export/BoneMesh.h"

#include <nlohmann/json.hpp>

#include <cassert>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

using nlohmann::json;

constexpr int COMPONENT_UNSIGNED_BYTE = 5121;
constexpr int COMPONENT_UNSIGNED_SHORT = 5123;
constexpr int COMPONENT_FLOAT = 5126;
constexpr int TARGET_ARRAY_BUFFER = 34962;
constexpr std::uint32_t GLB_MAGIC = 0x46546C67;      // "glTF"
constexpr std::uint32_t GLB_CHUNK_JSON = 0x4E4F534A; // "JSON"
constexpr std::uint32_t GLB_CHUNK_BIN = 0x004E4942;  // "BIN\0"

float toFloat(double v) {
    // The rig and the sampler refuse anything that would not fit.
    assert(std::fabs(v) <= FLT_MAX);
    return static_cast<float>(v);
}

void appendU32(std::string& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) {
        out += static_cast<char>(v >> shift & 0xFF);
    }
}

// glTF buffers are little-endian whatever the host is.
void appendFloat(std::string& out, float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    appendU32(out, bits);
}

// The binary buffer with the buffer views and accessors laid over it. Each
// view starts on a four-byte boundary and holds one accessor, so no view
// needs a byte stride and every accessor's offset is 0.
class BufferBuilder {
public:
    // A float accessor of `values.size() / components` elements of `type`.
    // Vertex data gets the ARRAY_BUFFER target; `bounds` adds the per
    // component min and max of the stored floats, which POSITION and
    // animation inputs must declare.
    int addFloats(const std::vector<float>& values, int components, const char* type,
                  bool vertexData, bool bounds) {
        assert(components > 0 && values.size() % components == 0);
        const std::size_t offset = startView();
        for (float f : values) {
            appendFloat(bytes, f);
        }
        json accessor = {{"bufferView", addView(offset, vertexData)},
                         {"componentType", COMPONENT_FLOAT},
                         {"count", values.size() / components},
                         {"type", type}};
        if (bounds) {
            std::vector<double> low(values.begin(), values.begin() + components);
            std::vector<double> high = low;
            for (std::size_t i = components; i < values.size(); ++i) {
                const std::size_t c = i % components;
                low[c] = std::min<double>(low[c], values[i]);
                high[c] = std::max<double>(high[c], values[i]);
            }
            accessor["min"] = low;
            accessor["max"] = high;
        }
        accessors.push_back(accessor);
        return static_cast<int>(accessors.size() - 1);
    }

    // JOINTS_0: four joint indices per vertex, the first one `joints[i]`,
    // the unused three 0 (as glTF wants them where the weight is 0).
    int addJoints(const std::vector<int>& joints, int jointCount) {
        const bool small = jointCount <= 256;
        const std::size_t offset = startView();
        for (int joint : joints) {
            assert(joint >= 0 && joint < jointCount);
            for (int k = 0; k < 4; ++k) {
                const int value = k == 0 ? joint : 0;
                bytes += static_cast<char>(value & 0xFF);
                if (!small) {
                    bytes += static_cast<char>(value >> 8 & 0xFF);
                }
            }
        }
        accessors.push_back(
            {{"bufferView", addView(offset, true)},
             {"componentType", small ? COMPONENT_UNSIGNED_BYTE : COMPONENT_UNSIGNED_SHORT},
             {"count", joints.size()},
             {"type", "VEC4"}});
        return static_cast<int>(accessors.size() - 1);
    }

    std::string bytes;
    json accessors = json::array();
    json bufferViews = json::array();

private:
    std::size_t startView() {
        while (bytes.size() % 4 != 0) {
            bytes += '\0';
        }
        return bytes.size();
    }

    int addView(std::size_t offset, bool vertexData) {
        json view = {{"buffer", 0}, {"byteOffset", offset}, {"byteLength", bytes.size() - offset}};
        if (vertexData) {
            view["target"] = TARGET_ARRAY_BUFFER;
        }
        bufferViews.push_back(view);
        return static_cast<int>(bufferViews.size() - 1);
    }
};

void appendQuat(std::vector<float>& out, const Quat& q) {
    out.push_back(toFloat(q.x));
    out.push_back(toFloat(q.y));
    out.push_back(toFloat(q.z));
    out.push_back(toFloat(q.w));
}

void appendVec3(std::vector<float>& out, const Vec3& v) {
    out.push_back(toFloat(v.x));
    out.push_back(toFloat(v.y));
    out.push_back(toFloat(v.z));
}

json vec3Json(const Vec3& v) {
    return json::array({toFloat(v.x), toFloat(v.y), toFloat(v.z)});
}

json quatJson(const Quat& q) {
    return json::array({toFloat(q.x), toFloat(q.y), toFloat(q.z), toFloat(q.w)});
}

// A bone's rotation relative to its parent's (the root's is its world one).
Quat localRotation(const ExportRig& rig, const std::vector<Quat>& world, int bone) {
    const int parent = rig.bones[bone].parent;
    if (parent < 0) {
        return normalized(world[bone]);
    }
    return normalized(conjugate(world[parent]) * world[bone]);
}

// The inverse of the rest pose's world matrix T(p) * R(q), column-major:
// R transposed and -R^T p.
std::vector<float> inverseBindMatrix(const RigBone& bone) {
    const Vec3 axes[3] = {rotate(bone.restRotation, Vec3(1, 0, 0)),
                          rotate(bone.restRotation, Vec3(0, 1, 0)),
                          rotate(bone.restRotation, Vec3(0, 0, 1))};
    const Vec3& p = bone.restPosition;
    std::vector<float> m;
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) {
            m.push_back(toFloat(axes[row][column]));
        }
        m.push_back(0);
    }
    for (int row = 0; row < 3; ++row) {
        m.push_back(toFloat(-(axes[row].x * p.x + axes[row].y * p.y + axes[row].z * p.z)));
    }
    m.push_back(1);
    return m;
}

json boneNodes(const ExportRig& rig, const std::vector<Quat>& restRotations) {
    json nodes = json::array();
    for (std::size_t i = 0; i < rig.bones.size(); ++i) {
        const RigBone& bone = rig.bones[i];
        const Vec3 translation =
            bone.parent < 0 ? bone.restPosition : Vec3(0, rig.bones[bone.parent].length, 0);
        json node = {{"name", bone.name},
                     {"translation", vec3Json(translation)},
                     {"rotation", quatJson(localRotation(rig, restRotations, static_cast<int>(i)))},
                     {"extras", {{"length", bone.length}}}};
        // glTF wants no empty arrays, so a leaf has no children property.
        if (!bone.children.empty()) {
            node["children"] = bone.children;
        }
        nodes.push_back(node);
    }
    return nodes;
}

// The figure mesh and its skin. Returns the mesh's primitive.
json skinnedMesh(const ExportRig& rig, BufferBuilder& buffer, json& skin) {
    const BoneMesh mesh = makeBoneMesh(rig);
    std::vector<float> positions, normals, weights, matrices;
    for (std::size_t i = 0; i < mesh.positions.size(); ++i) {
        appendVec3(positions, mesh.positions[i]);
        appendVec3(normals, mesh.normals[i]);
        weights.insert(weights.end(), {1.0f, 0.0f, 0.0f, 0.0f});
    }
    const int jointCount = static_cast<int>(rig.bones.size());
    json primitive = {{"attributes",
                       {{"POSITION", buffer.addFloats(positions, 3, "VEC3", true, true)},
                        {"NORMAL", buffer.addFloats(normals, 3, "VEC3", true, false)},
                        {"JOINTS_0", buffer.addJoints(mesh.joints, jointCount)},
                        {"WEIGHTS_0", buffer.addFloats(weights, 4, "VEC4", true, false)}}},
                      {"material", 0}};
    json joints = json::array();
    for (int i = 0; i < jointCount; ++i) {
        const std::vector<float> m = inverseBindMatrix(rig.bones[i]);
        matrices.insert(matrices.end(), m.begin(), m.end());
        joints.push_back(i);
    }
    skin = {{"name", "skeleton"},
            {"joints", joints},
            {"skeleton", 0},
            {"inverseBindMatrices", buffer.addFloats(matrices, 16, "MAT4", false, false)}};
    return primitive;
}

json animationJson(const ExportRig& rig, const SampledMotion& motion, BufferBuilder& buffer) {
    const std::size_t count = motion.samples.size();
    std::vector<float> times;
    std::vector<float> roots;
    std::vector<std::vector<float>> rotations(rig.bones.size());
    std::vector<Quat> previous(rig.bones.size());
    for (std::size_t k = 0; k < count; ++k) {
        const PoseSample& sample = motion.samples[k];
        assert(sample.rotations.size() == rig.bones.size());
        times.push_back(toFloat(sample.time));
        appendVec3(roots, sample.rootPosition);
        for (std::size_t i = 0; i < rig.bones.size(); ++i) {
            Quat q = localRotation(rig, sample.rotations, static_cast<int>(i));
            // Keys on one side of the quaternion sphere, so every step
            // between two keys turns the short way.
            if (k > 0) {
                q = alignedWith(q, previous[i]);
            }
            previous[i] = q;
            appendQuat(rotations[i], q);
        }
    }
    const int input = buffer.addFloats(times, 1, "SCALAR", false, true);
    json samplers = json::array();
    json channels = json::array();
    auto addChannel = [&](int output, int node, const char* path) {
        samplers.push_back({{"input", input}, {"output", output}, {"interpolation", "LINEAR"}});
        channels.push_back(
            {{"sampler", samplers.size() - 1}, {"target", {{"node", node}, {"path", path}}}});
    };
    addChannel(buffer.addFloats(roots, 3, "VEC3", false, false), 0, "translation");
    for (std::size_t i = 0; i < rig.bones.size(); ++i) {
        addChannel(buffer.addFloats(rotations[i], 4, "VEC4", false, false), static_cast<int>(i),
                   "rotation");
    }
    return {{"name", motion.name.empty() ? std::string("animation") : motion.name},
            {"samplers", samplers},
            {"channels", channels}};
}

// The whole document but its buffer; the binary data goes to `buffer`.
json gltfDocument(const ExportRig& rig, const SampledMotion& motion, BufferBuilder& buffer) {
    assert(!rig.bones.empty() && !motion.samples.empty());
    std::vector<Quat> restRotations;
    for (const RigBone& bone : rig.bones) {
        restRotations.push_back(bone.restRotation);
    }
    json nodes = boneNodes(rig, restRotations);
    json skin;
    json primitive = skinnedMesh(rig, buffer, skin);
    const int figureNode = static_cast<int>(nodes.size());
    // A skinned mesh takes its placement from the joints alone; glTF wants
    // its node at the root of the scene with no transform of its own.
    nodes.push_back({{"name", "figure"}, {"mesh", 0}, {"skin", 0}});
    json animation = animationJson(rig, motion, buffer);

    json scene = {{"name", "Kinemorph figure"}, {"nodes", json::array({0, figureNode})}};
    json mesh = {{"name", "figure"}, {"primitives", json::array({primitive})}};
    json material = {{"name", "bone"},
                     {"pbrMetallicRoughness",
                      {{"baseColorFactor", json::array({0.85, 0.8, 0.7, 1.0})},
                       {"metallicFactor", 0.0},
                       {"roughnessFactor", 0.7}}}};
    json document;
    document["asset"] = {{"version", "2.0"}, {"generator", "kinemorph-export"}};
    document["scene"] = 0;
    document["scenes"] = json::array({scene});
    document["nodes"] = nodes;
    document["meshes"] = json::array({mesh});
    document["materials"] = json::array({material});
    document["skins"] = json::array({skin});
    document["animations"] = json::array({animation});
    document["accessors"] = buffer.accessors;
    document["bufferViews"] = buffer.bufferViews;
    return document;
}

// Names come from files and may hold bytes that are not UTF-8, which JSON
// cannot carry; those are replaced rather than failing the export.
std::string dumpJson(const json& document, int indent) {
    return document.dump(indent, ' ', false, json::error_handler_t::replace);
}

} // namespace

std::string gltfText(const ExportRig& rig, const SampledMotion& motion) {
    BufferBuilder buffer;
    json document = gltfDocument(rig, motion, buffer);
    json embedded = {{"byteLength", buffer.bytes.size()},
                     {"uri", "data:application/octet-stream;base64," + base64Encode(buffer.bytes)}};
    document["buffers"] = json::array({embedded});
    return dumpJson(document, 1) + "\n";
}

std::string glbBytes(const ExportRig& rig, const SampledMotion& motion) {
    BufferBuilder buffer;
    json document = gltfDocument(rig, motion, buffer);
    json chunk = {{"byteLength", buffer.bytes.size()}};
    document["buffers"] = json::array({chunk});
    std::string text = dumpJson(document, -1);
    // Both chunks end on a four-byte boundary: JSON padded with blanks,
    // the binary data with zeros.
    while (text.size() % 4 != 0) {
        text += ' ';
    }
    std::string bin = buffer.bytes;
    while (bin.size() % 4 != 0) {
        bin += '\0';
    }
    std::string out;
    appendU32(out, GLB_MAGIC);
    appendU32(out, 2);
    appendU32(out, static_cast<std::uint32_t>(12 + 8 + text.size() + 8 + bin.size()));
    appendU32(out, static_cast<std::uint32_t>(text.size()));
    appendU32(out, GLB_CHUNK_JSON);
    out += text;
    appendU32(out, static_cast<std::uint32_t>(bin.size()));
    appendU32(out, GLB_CHUNK_BIN);
    out += bin;
    return out;
}
