#pragma once

#include <istream>

class Skeleton;

// Reads the text of a .rgcf skeleton file into an empty Skeleton: the header
// line "RGCF", a root line of 13 numbers and 20 bone lines of 12 numbers,
// whitespace-separated, each read as a float and widened to double.
//
// It stops at the first fault with one line on standard output and leaves
// the bones read before it: a wrong header, a number that is missing or
// malformed, or a parent that is not an earlier bone. Afterwards no bone is
// selected and no pick is pending.
class SkeletonFileReader {
public:
    explicit SkeletonFileReader(Skeleton& skeleton) : skeleton(skeleton) {}

    // Fills the skeleton from `in`. Returns false (after printing the
    // reason) if the file was not read to its 21st bone.
    bool read(std::istream& in);

private:
    bool readHeader(std::istream& in);
    // Reads `count` numbers of bone line `bone` (0 = the root line); prints
    // the malformed-number line and returns false when one cannot be read.
    bool readNumbers(std::istream& in, float* out, int count, int bone);
    bool readRoot(std::istream& in);
    bool readBone(std::istream& in, int bone);

    Skeleton& skeleton;
};
