// The exported model as three.js draws it, with the camera the model holds:
// the renderer the export is checked against, in the test's browser.
import * as THREE from 'three';
import { GLTFLoader } from './three/examples/jsm/loaders/GLTFLoader.js';

const canvas = document.getElementById('model');
const renderer = new THREE.WebGLRenderer({ canvas, antialias: false, preserveDrawingBuffer: true });
renderer.setPixelRatio(1);
renderer.setSize(canvas.width, canvas.height, false);

// Draws the model at `url` on the sky's colour (sRGB, as the program clears
// to it) and says what it holds.
window.drawModel = async (url, sky) => {
  const bytes = await (await fetch(url)).arrayBuffer();
  const gltf = await new GLTFLoader().parseAsync(bytes, '');
  const scene = new THREE.Scene();
  scene.background = new THREE.Color().setRGB(sky[0], sky[1], sky[2], THREE.SRGBColorSpace);
  scene.add(gltf.scene);
  renderer.render(scene, gltf.cameras[0]);
  return { cameras: gltf.cameras.length, animations: gltf.animations.length };
};
window.modelViewReady = true;
