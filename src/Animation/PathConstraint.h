#pragma once
// Path constraints place a chain of bones along the path attachment their
// target slot shows.
#include <cstdint>

struct PathAttachment;
struct PathConstraint;

// Nothing without a mix above 0 or when the target slot shows no path.
void PathConstraint_Apply(PathConstraint* constraint);
// spacesCount points (x, y, rotation) along the path for the constraint's
// spaces, in the constraint's positions array (3 × count + 2 floats).
float* PathConstraint_ComputePositions(PathConstraint* constraint, const PathAttachment* path, int32_t spacesCount, bool tangents,
                                       bool percentPosition, bool percentSpacing);
