// The engine's frame in three.js's. The engine is left-handed with X forward, Y right and Z up; three.js is
// right-handed with Y up. Engine (x, y, z) is three (x, z, y): forward stays X, up becomes Y, right becomes +Z
// (which is "right" in three when looking along +X with Y up). Swapping two axes is a mirror, so a rotation keeps
// its angle but turns the other way about the swapped axis: quaternion (x, y, z, w) becomes (-x, -z, -y, w).
// Kept free of three.js so that node can check it alone.

/** A position or direction [x, y, z] in engine axes as [x, y, z] in three.js axes; any numbers, no checks. */
export function engineToThreeVector([x, y, z]) {
  return [x, z, y];
}

/**
 * A rotation quaternion [x, y, z, w] in engine axes as [x, y, z, w] in three.js axes. Not normalised here:
 * a quaternion that was not unit stays as far from unit.
 */
export function engineToThreeQuaternion([x, y, z, w]) {
  return [-x, -z, -y, w];
}
