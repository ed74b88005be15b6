#pragma once
// Transform constraints pull bones' world rotation, position, scale and shear
// towards their target's, each by its own mix.

struct TransformConstraint;

void TransformConstraint_Apply(TransformConstraint* constraint);
