// house-export's models as others read them: Khronos' glTF validator, and
// three.js playing the gates' animations to their end.
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

test('the gates\' animations end where the program draws them fully open', async (t) => {
  const open = leafCorners(await loadModel(exportModel('o*54 x*54')));
  for (const keys of ['', 'o*20 x*40', 'o*54 c*53 x z']) {
    const gltf = await loadModel(exportModel(keys));
    assert.deepEqual(gltf.animations.map((clip) => clip.name).sort(), ['open drive gate', 'open walk gate']);
    const mixer = new THREE.AnimationMixer(gltf.scene);
    for (const clip of gltf.animations) {
      const action = mixer.clipAction(clip);
      action.setLoop(THREE.LoopOnce, 1);
      action.clampWhenFinished = true;
      action.play();
    }
    mixer.update(Math.max(...gltf.animations.map((clip) => clip.duration)));
    const swung = leafCorners(gltf);
    let farthest = 0;
    for (let leaf = 0; leaf < kLeaves.length; ++leaf) {
      assert.equal(swung[leaf].length, open[leaf].length);
      swung[leaf].forEach((corner, i) => {
        const off = corner.distanceTo(open[leaf][i]);
        assert.ok(off < kMillimetre, `${kLeaves[leaf]} corner ${i} after "${keys}" is ${off} m off`);
        farthest = Math.max(farthest, off);
      });
    }
    t.diagnostic(`from "${keys}": at most ${(farthest * 1000).toExponential(1)} mm off`);
  }
});
