// house-export's models as others read them: Khronos' glTF validator, and
// three.js playing the gates' animations.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import validator from 'gltf-validator';
import * as THREE from 'three';
import { exportModel, loadModel } from './glb.mjs';

const kLeaves = ['walk gate leaf', 'drive gate leaf 1', 'drive gate leaf 2'];
const kMillimetre = 0.001;  // in glTF's metres

test('the validator finds no error and no warning, shut or open', async (t) => {
  for (const keys of ['', 'o*54 x*54', 'o*20 x*33 Left*12 Up*9', 'o*54 c*54 x*54 z*54 -*300']) {
    const report = await validator.validateBytes(exportModel(keys));
    const { numErrors, numWarnings, numInfos, numHints } = report.issues;
    t.diagnostic(`"${keys}": ${numErrors} errors, ${numWarnings} warnings, ${numInfos} infos, ` +
      `${numHints} hints; ${report.info.totalVertexCount} vertices, ` +
      `${report.info.totalTriangleCount} triangles, ${report.info.drawCallCount} draw calls`);
    const found = report.issues.messages.filter((m) => m.severity <= 1);
    assert.deepEqual(found.map((m) => `${m.code} at ${m.pointer}: ${m.message}`), [], keys);
  }
});

// Where a leaf's corners stand in the world, in metres.
function leafCorners(gltf) {
  gltf.scene.updateMatrixWorld(true);
  return kLeaves.map((name) => {
    const leaf = gltf.scene.getObjectByName(THREE.PropertyBinding.sanitizeNodeName(name));
    const positions = leaf.geometry.attributes.position;
    return Array.from({ length: positions.count },
      (_, i) => new THREE.Vector3().fromBufferAttribute(positions, i).applyMatrix4(leaf.matrixWorld));
  });
}

// Each swing starts and ends where the view has the gate, so that a viewer
// showing its start shows the view, and at one of its key frames stands
// where the program draws the gate fully open; a gate the view has shut or
// fully open swings all the same.
test('the gates\' animations start and end at the view and pass through fully open', async () => {
  const open = leafCorners(await loadModel(exportModel('o*54 x*54')));
  for (const keys of ['', 'o*20 x*40', 'o*54 c*53 x z', 'o*54 x*54']) {
    const gltf = await loadModel(exportModel(keys));
    assert.deepEqual(gltf.animations.map((clip) => clip.name).sort(), ['open drive gate', 'open walk gate']);
    const view = leafCorners(gltf);
    for (const clip of gltf.animations) {
      const moves = kLeaves.map((name) => clip.tracks.some((track) => track.name.startsWith(`${THREE.PropertyBinding.sanitizeNodeName(name)}.`)));
      // How far the clip's leaves are from `to`, `time` into it, at most.
      const off = (time, to) => {
        const action = new THREE.AnimationMixer(gltf.scene).clipAction(clip).setLoop(THREE.LoopOnce, 1);
        action.clampWhenFinished = true;
        action.play().getMixer().update(time);
        return Math.max(...leafCorners(gltf).flatMap((corners, leaf) => (moves[leaf] ? corners.map((c, i) => c.distanceTo(to[leaf][i])) : [])));
      };
      const times = clip.tracks[0].times, at = `${clip.name} after "${keys}"`;
      assert.ok(off(0, view) < kMillimetre && off(clip.duration, view) < kMillimetre, `${at} leaves the view`);
      assert.ok(Math.min(...times.map((time) => off(time, open))) < kMillimetre, `${at} is never open`);
      assert.ok(Math.max(...times.map((time) => off(time, view))) > 1, `${at} does not swing`);
    }
  }
});
