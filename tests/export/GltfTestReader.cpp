#include "GltfTestReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>

namespace {

std::uint32_t readU32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k) {
        v = v << 8 | static_cast<unsigned char>(bytes.at(at + k));
    }
    return v;
}

std::string base64Decode(const std::string& text) {
    std::string out;
    unsigned buffer = 0;
    int bits = 0;
    for (char c : text) {
        int v;
        if (c >= 'A' && c <= 'Z') {
            v = c - 'A';
        } else if (c >= 'a' && c <= 'z') {
            v = c - 'a' + 26;
        } else if (c >= '0' && c <= '9') {
            v = c - '0' + 52;
        } else if (c == '+') {
            v = 62;
        } else if (c == '/') {
            v = 63;
        } else {
            EXPECT_EQ(c, '=') << "not base64";
            break;
        }
        buffer = buffer << 6 | static_cast<unsigned>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>(buffer >> bits & 0xFF);
        }
    }
    return out;
}

int componentCount(const std::string& type) {
    static const std::map<std::string, int> counts = {
        {"SCALAR", 1}, {"VEC2", 2}, {"VEC3", 3}, {"VEC4", 4}, {"MAT4", 16}};
    return counts.at(type);
}

} // namespace

Mat4 identityMatrix() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Mat4 operator*(const Mat4& a, const Mat4& b) {
    Mat4 m{};
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += a[k * 4 + row] * b[column * 4 + k];
            }
            m[column * 4 + row] = sum;
        }
    }
    return m;
}

Mat4 trsMatrix(const Vec3& t, const std::array<double, 4>& q) {
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    return {1 - 2 * (y * y + z * z),
            2 * (x * y + w * z),
            2 * (x * z - w * y),
            0,
            2 * (x * y - w * z),
            1 - 2 * (x * x + z * z),
            2 * (y * z + w * x),
            0,
            2 * (x * z + w * y),
            2 * (y * z - w * x),
            1 - 2 * (x * x + y * y),
            0,
            t.x,
            t.y,
            t.z,
            1};
}

Vec3 transformPoint(const Mat4& m, const Vec3& p) {
    return Vec3(m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
                m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
                m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]);
}

GltfTestAsset GltfTestAsset::parse(const std::string& bytes) {
    GltfTestAsset asset;
    if (bytes.size() >= 12 && bytes.compare(0, 4, "glTF") == 0) {
        EXPECT_EQ(readU32(bytes, 4), 2u);
        EXPECT_EQ(readU32(bytes, 8), bytes.size());
        const std::uint32_t jsonLength = readU32(bytes, 12);
        EXPECT_EQ(readU32(bytes, 16), 0x4E4F534Au);
        EXPECT_EQ(jsonLength % 4, 0u);
        asset.document = nlohmann::json::parse(bytes.substr(20, jsonLength));
        const std::size_t binAt = 20 + jsonLength;
        EXPECT_EQ(readU32(bytes, binAt + 4), 0x004E4942u);
        asset.buffer = bytes.substr(binAt + 8, readU32(bytes, binAt));
        EXPECT_FALSE(asset.document["buffers"][0].contains("uri"));
    } else {
        asset.document = nlohmann::json::parse(bytes);
        const std::string uri = asset.document["buffers"][0]["uri"];
        const std::string prefix = "data:application/octet-stream;base64,";
        EXPECT_EQ(uri.compare(0, prefix.size(), prefix), 0);
        asset.buffer = base64Decode(uri.substr(prefix.size()));
    }
    EXPECT_GE(asset.buffer.size(), asset.document["buffers"][0]["byteLength"].get<std::size_t>());
    return asset;
}

std::vector<double> GltfTestAsset::floats(int index) const {
    const nlohmann::json& accessor = document["accessors"][index];
    EXPECT_EQ(accessor["componentType"], 5126);
    const nlohmann::json& view = document["bufferViews"][accessor["bufferView"].get<int>()];
    const std::size_t start =
        view["byteOffset"].get<std::size_t>() + accessor.value("byteOffset", std::size_t{0});
    EXPECT_EQ(start % 4, 0u);
    const std::size_t count =
        accessor["count"].get<std::size_t>() * componentCount(accessor["type"]);
    EXPECT_LE(count * 4, view["byteLength"].get<std::size_t>());
    std::vector<double> values;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t bits = readU32(buffer, start + 4 * i);
        float f;
        std::memcpy(&f, &bits, sizeof f);
        values.push_back(f);
    }
    return values;
}

std::vector<int> GltfTestAsset::integers(int index) const {
    const nlohmann::json& accessor = document["accessors"][index];
    const int type = accessor["componentType"];
    EXPECT_TRUE(type == 5121 || type == 5123);
    const std::size_t size = type == 5121 ? 1 : 2;
    const nlohmann::json& view = document["bufferViews"][accessor["bufferView"].get<int>()];
    const std::size_t start = view["byteOffset"].get<std::size_t>();
    const std::size_t count =
        accessor["count"].get<std::size_t>() * componentCount(accessor["type"]);
    std::vector<int> values;
    for (std::size_t i = 0; i < count; ++i) {
        int v = static_cast<unsigned char>(buffer.at(start + size * i));
        if (size == 2) {
            v |= static_cast<unsigned char>(buffer.at(start + size * i + 1)) << 8;
        }
        values.push_back(v);
    }
    return values;
}

std::vector<Mat4> GltfTestAsset::worldMatrices(int sample) const {
    const nlohmann::json& nodes = document["nodes"];
    const std::size_t count = nodes.size();
    std::vector<Vec3> translations(count, Vec3(0, 0, 0));
    std::vector<std::array<double, 4>> rotations(count, {0, 0, 0, 1});
    for (std::size_t i = 0; i < count; ++i) {
        if (nodes[i].contains("translation")) {
            const auto& t = nodes[i]["translation"];
            translations[i] = Vec3(t[0], t[1], t[2]);
        }
        if (nodes[i].contains("rotation")) {
            const auto& r = nodes[i]["rotation"];
            rotations[i] = {r[0], r[1], r[2], r[3]};
        }
        EXPECT_FALSE(nodes[i].contains("scale") || nodes[i].contains("matrix"));
    }
    if (sample >= 0) {
        const nlohmann::json& animation = document["animations"][0];
        for (const auto& channel : animation["channels"]) {
            const auto& sampler = animation["samplers"][channel["sampler"].get<int>()];
            const std::vector<double> out = floats(sampler["output"]);
            const int node = channel["target"]["node"];
            const std::string path = channel["target"]["path"];
            if (path == "translation") {
                translations[node] =
                    Vec3(out.at(3 * sample), out.at(3 * sample + 1), out.at(3 * sample + 2));
            } else {
                EXPECT_EQ(path, "rotation");
                rotations[node] = {out.at(4 * sample), out.at(4 * sample + 1),
                                   out.at(4 * sample + 2), out.at(4 * sample + 3)};
            }
        }
    }
    // Parents from the children lists; glTF guarantees a forest, checked
    // here by every node having at most one parent.
    std::vector<int> parent(count, -1);
    for (std::size_t i = 0; i < count; ++i) {
        for (const auto& child : nodes[i].value("children", nlohmann::json::array())) {
            EXPECT_EQ(parent.at(child.get<int>()), -1);
            parent.at(child.get<int>()) = static_cast<int>(i);
        }
    }
    std::vector<Mat4> world(count);
    std::vector<bool> done(count, false);
    std::function<void(std::size_t)> resolve = [&](std::size_t i) {
        if (done[i]) {
            return;
        }
        const Mat4 local = trsMatrix(translations[i], rotations[i]);
        if (parent[i] >= 0) {
            resolve(parent[i]);
            world[i] = world[parent[i]] * local;
        } else {
            world[i] = local;
        }
        done[i] = true;
    };
    for (std::size_t i = 0; i < count; ++i) {
        resolve(i);
    }
    return world;
}
