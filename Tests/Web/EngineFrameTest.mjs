// The engine-to-three.js frame conversion, checked with three.js's own quaternion maths and no browser.
// Faults caught: an axis mapping that is a rotation, not a mirror (the scene drawn mirrored: an orbit turning the
// wrong way, right on the left); a quaternion whose axes are swapped but not negated (yaw turning to engine -Y);
// pitch or roll with the wrong sign; w moved along with the axes.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { Quaternion, Vector3 } from 'three';
import { engineToThreeQuaternion, engineToThreeVector } from '../../Programs/OrvidaLiveLinkHost/Web/EngineFrame.js';

// The engine's rotator to quaternion (degrees), so that the cases below are written as the engine's angles.
function engineQuaternion(pitch, yaw, roll) {
  const half = Math.PI / 360;
  const [sp, cp] = [Math.sin(pitch * half), Math.cos(pitch * half)];
  const [sy, cy] = [Math.sin(yaw * half), Math.cos(yaw * half)];
  const [sr, cr] = [Math.sin(roll * half), Math.cos(roll * half)];
  return [cr * sp * sy - sr * cp * cy, -cr * sp * cy - sr * cp * sy, cr * cp * sy - sr * sp * cy, cr * cp * cy + sr * sp * sy];
}

function rotatedInThree(engineRotation, engineDirection) {
  const quaternion = new Quaternion(...engineToThreeQuaternion(engineRotation));
  return new Vector3(...engineToThreeVector(engineDirection)).applyQuaternion(quaternion);
}

function assertNear(actual, expected, what) {
  const [x, y, z] = engineToThreeVector(expected);
  assert.ok(actual.distanceTo(new Vector3(x, y, z)) < 1e-9, `${what}: got ${actual.toArray()}, want three ${[x, y, z]}`);
}

test('engine up is three up, and engine right is right of forward in three', () => {
  assert.deepEqual(engineToThreeVector([0, 0, 1]), [0, 1, 0]);
  const forward = new Vector3(...engineToThreeVector([1, 0, 0]));
  const up = new Vector3(...engineToThreeVector([0, 0, 1]));
  assert.deepEqual(forward.clone().cross(up).toArray(), engineToThreeVector([0, 1, 0]));
});

test('a rotation turns forward and up where the engine turns them', () => {
  const s = Math.SQRT1_2;
  const cases = [
    // pitch, yaw, roll; engine forward after it; engine up after it
    { angles: [0, 0, 0], forward: [1, 0, 0], up: [0, 0, 1] },
    { angles: [0, 90, 0], forward: [0, 1, 0], up: [0, 0, 1] },
    { angles: [0, -90, 0], forward: [0, -1, 0], up: [0, 0, 1] },
    { angles: [30, 0, 0], forward: [Math.cos(Math.PI / 6), 0, 0.5], up: [-0.5, 0, Math.cos(Math.PI / 6)] },
    { angles: [-90, 0, 0], forward: [0, 0, -1], up: [1, 0, 0] },
    { angles: [0, 0, 90], forward: [1, 0, 0], up: [0, 1, 0] },
    { angles: [45, 90, 0], forward: [0, s, s], up: [0, -s, s] },
  ];
  for (const { angles, forward, up } of cases) {
    const rotation = engineQuaternion(...angles);
    assertNear(rotatedInThree(rotation, [1, 0, 0]), forward, `forward at ${angles}`);
    assertNear(rotatedInThree(rotation, [0, 0, 1]), up, `up at ${angles}`);
  }
});
