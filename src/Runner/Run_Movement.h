#pragma once
// The movement phase of the frame step.

// Moves every active instance of the current room: friction and gravity, the
// path advance (with the end-of-path event) and the step by hspeed and vspeed.
// In a room with a physics world the world's step moves them instead; then
// true, so that the collision pass is skipped.
bool HandleInstanceMovement(bool anyPath);
