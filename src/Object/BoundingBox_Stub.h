#pragma once
// STAND-IN for the bounding box under rotation and the collision masks until
// they exist: CInstance::ComputeBoundingBox (declared with the instance)
// takes the unrotated sprite rectangle at the instance's scale, or the
// instance's own point when it has no sprite.
