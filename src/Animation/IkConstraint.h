#pragma once
// Inverse kinematics: turns one bone, or a parent and child pair, so that the
// last bone points at or reaches the target. Works on world transforms only.
#include <cstdint>

struct Bone;
struct IkConstraint;

// One bone: solved; two: the pair; any other count: nothing.
void IkConstraint_Apply(IkConstraint* constraint);
// tx, ty in skeleton space (without the skeleton's x, y); alpha mixes from
// the bone's own rotation (0) to the solved one (1).
void IkConstraint_SolveOne(Bone* bone, float tx, float ty, float alpha);
// bendDirection +1 or -1 picks which of the two solutions the elbow takes.
void IkConstraint_SolveTwo(Bone* parent, Bone* child, float tx, float ty, int32_t bendDirection, float alpha);
