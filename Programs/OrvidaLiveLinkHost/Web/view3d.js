// The camera subjects in 3D: each one's frustum posed as Live Link has it and its path over the last seconds, in
// its source's colour, the ground grid and the engine's axes. A camera subject without a frame (the client enables
// one subject of a name, and drops the frames of the others) is named in the note instead. Draws only when a frame moved something or the user moved the view, so an idle page
// costs no GPU time.
import * as THREE from 'three';
import { OrbitControls } from 'three/addons/controls/OrbitControls.js';
import { engineToThreeQuaternion, engineToThreeVector } from './EngineFrame.js';

const PathSeconds = 10;
// Snapshots come at most 30 a second; room for twice that keeps the buffer fixed while the rate varies.
const PathCapacity = 600;
const AxisLength = 100;
const GridSize = 2000;
// The frustum's depth follows the focus, held to a size that reads next to a 1 m grid.
const MinDepth = 30;
const MaxDepth = 120;
const PathShade = 0.6;

/** The camera subjects: those with a lens in their frame or a camera they drive. */
function cameraSubjects(snapshot) {
  return (snapshot.subjects || []).filter((subject) => subject.camera || (subject.frame && subject.frame.fieldOfView !== undefined));
}

function threeVector(engine) {
  return new THREE.Vector3(...engineToThreeVector(engine));
}

/** The engine's axes from the origin, each drawn along its engine direction: X red, Y green, Z blue. */
function engineAxes() {
  const axes = [[[AxisLength, 0, 0], 0xe04040], [[0, AxisLength, 0], 0x40c040], [[0, 0, AxisLength], 0x4080ff]];
  const positions = axes.flatMap(([end]) => [0, 0, 0, ...engineToThreeVector(end)]);
  const colors = axes.flatMap(([, hex]) => { const c = new THREE.Color(hex); return [c.r, c.g, c.b, c.r, c.g, c.b]; });
  const geometry = new THREE.BufferGeometry();
  geometry.setAttribute('position', new THREE.Float32BufferAttribute(positions, 3));
  geometry.setAttribute('color', new THREE.Float32BufferAttribute(colors, 3));
  return new THREE.LineSegments(geometry, new THREE.LineBasicMaterial({ vertexColors: true }));
}

/**
 * The frustum's lines in the camera's own engine axes (looking along X, Y right, Z up), converted to three's:
 * the apex, the far rectangle, and a notch on its top edge so that roll reads.
 */
function frustumGeometry(fieldOfView, aspectRatio, depth) {
  const halfWidth = depth * Math.tan((fieldOfView * Math.PI) / 360);
  const halfHeight = halfWidth / aspectRatio;
  const corners = [[depth, -halfWidth, halfHeight], [depth, halfWidth, halfHeight], [depth, halfWidth, -halfHeight], [depth, -halfWidth, -halfHeight]];
  const notch = [depth, 0, halfHeight * 1.4];
  const segments = [];
  corners.forEach((corner, index) => segments.push([0, 0, 0], corner, corner, corners[(index + 1) % 4]));
  segments.push(corners[0], notch, notch, corners[1]);
  const geometry = new THREE.BufferGeometry();
  geometry.setAttribute('position', new THREE.Float32BufferAttribute(segments.flatMap(engineToThreeVector), 3));
  return geometry;
}

export function mount(element) {
  element.classList.add('view3d');
  const note = document.createElement('div');
  note.className = 'view3d-note';
  const caption = document.createElement('div');
  caption.className = 'view3d-caption';
  caption.textContent = 'engine axes X red, Y green, Z blue; grid 1 m; path last 10 s; double-click to frame the camera';
  const renderer = new THREE.WebGLRenderer({ antialias: true });
  renderer.setPixelRatio(Math.min(window.devicePixelRatio, 2));
  note.textContent = 'no camera';
  const legend = document.createElement('div');
  legend.className = 'view3d-legend';
  element.append(renderer.domElement, note, legend, caption);

  const scene = new THREE.Scene();
  scene.background = new THREE.Color(0x151515);
  scene.add(new THREE.GridHelper(GridSize, GridSize / 100, 0x555555, 0x303030), engineAxes());
  const view = new THREE.PerspectiveCamera(50, 1, 1, 100000);
  const controls = new OrbitControls(view, renderer.domElement);

  // By source guid and subject name: each camera's frustum and path.
  const markers = new Map();
  let lastFrame = null;

  function addMarker(color) {
    const frustum = new THREE.LineSegments(new THREE.BufferGeometry(), new THREE.LineBasicMaterial({ color }));
    const pathPositions = new Float32Array(PathCapacity * 3);
    const pathGeometry = new THREE.BufferGeometry();
    pathGeometry.setAttribute('position', new THREE.BufferAttribute(pathPositions, 3).setUsage(THREE.DynamicDrawUsage));
    // The path in a darker shade of the frustum's colour, so that the camera stands out from where it has been.
    const path = new THREE.Line(pathGeometry, new THREE.LineBasicMaterial({ color: new THREE.Color(color).multiplyScalar(PathShade) }));
    path.frustumCulled = false;
    scene.add(frustum, path);
    return { frustum, frustumKey: '', path, pathPositions, pathGeometry, points: [], lastFrame: null, color };
  }
  function removeMarker(marker) {
    scene.remove(marker.frustum, marker.path);
    marker.frustum.geometry.dispose();
    marker.pathGeometry.dispose();
  }

  let renderPending = false;
  function requestRender() {
    if (renderPending || element.clientWidth === 0) {
      return;
    }
    renderPending = true;
    requestAnimationFrame(() => {
      renderPending = false;
      renderer.render(scene, view);
    });
  }
  controls.addEventListener('change', requestRender);

  function resize() {
    const { clientWidth: width, clientHeight: height } = renderer.domElement.parentElement;
    if (width === 0 || height === 0) {
      return;
    }
    renderer.setSize(width, height, false);
    view.aspect = width / height;
    view.updateProjectionMatrix();
    requestRender();
  }
  new ResizeObserver(resize).observe(element);

  // Looks at the middle of the camera and the origin from far enough to show both, so the first frames show the
  // camera in its surroundings wherever it is.
  function frameCamera() {
    if (!lastFrame) {
      return;
    }
    const target = threeVector(lastFrame.location).multiplyScalar(0.5);
    const distance = Math.max(500, 3 * target.length());
    controls.target.copy(target);
    view.position.copy(target).add(threeVector([-0.6, -0.6, 0.55]).multiplyScalar(distance));
    controls.update();
    requestRender();
  }
  renderer.domElement.addEventListener('dblclick', frameCamera);

  function setFrustum(marker, frame) {
    const depth = Math.min(MaxDepth, Math.max(MinDepth, frame.focusDistance || MaxDepth));
    const key = `${frame.fieldOfView}|${frame.aspectRatio}|${depth}`;
    if (key !== marker.frustumKey && frame.fieldOfView > 0 && frame.fieldOfView < 180 && frame.aspectRatio > 0) {
      marker.frustum.geometry.dispose();
      marker.frustum.geometry = frustumGeometry(frame.fieldOfView, frame.aspectRatio, depth);
      marker.frustumKey = key;
    }
    marker.frustum.position.set(...engineToThreeVector(frame.location));
    marker.frustum.quaternion.set(...engineToThreeQuaternion(frame.rotation)).normalize();
  }

  // A world time that went back is another stream (a source replaced, the sender restarted): its path starts over.
  function extendPath(marker, frame) {
    if (marker.points.length && frame.worldTime < marker.points[marker.points.length - 1].time) {
      marker.points = [];
    }
    marker.points.push({ time: frame.worldTime, position: engineToThreeVector(frame.location) });
    const oldest = frame.worldTime - PathSeconds;
    const first = marker.points.findIndex((point) => point.time >= oldest);
    marker.points = marker.points.slice(Math.max(first, marker.points.length - PathCapacity));
    marker.points.forEach((point, index) => marker.pathPositions.set(point.position, index * 3));
    marker.pathGeometry.setDrawRange(0, marker.points.length);
    marker.pathGeometry.attributes.position.needsUpdate = true;
  }

  /** Poses the subject's marker; true when something moved. */
  function showSubject(subject, source) {
    const key = `${subject.source}|${subject.name}`;
    const color = source?.color || '#ffd040';
    if (markers.has(key) && markers.get(key).color !== color) {
      removeMarker(markers.get(key));
      markers.delete(key);
    }
    if (!markers.has(key)) {
      markers.set(key, addMarker(color));
    }
    const marker = markers.get(key);
    const frame = subject.frame;
    marker.frustum.visible = marker.path.visible = Boolean(frame);
    if (!frame || (marker.lastFrame && frame.worldTime === marker.lastFrame.worldTime)) {
      const changed = Boolean(marker.lastFrame) !== Boolean(frame);
      marker.lastFrame = frame;
      return changed;
    }
    marker.lastFrame = frame;
    setFrustum(marker, frame);
    extendPath(marker, frame);
    return true;
  }

  return {
    update(snapshot) {
      const sources = new Map((snapshot.sources || []).map((source) => [source.guid, source]));
      const subjects = cameraSubjects(snapshot);
      let changed = false;
      const seen = new Set();
      for (const subject of subjects) {
        seen.add(`${subject.source}|${subject.name}`);
        changed = showSubject(subject, sources.get(subject.source)) || changed;
      }
      for (const [key, marker] of markers) {
        if (!seen.has(key)) {
          removeMarker(marker);
          markers.delete(key);
          changed = true;
        }
      }
      const shown = subjects.filter((subject) => subject.frame);
      const withoutFrame = subjects.filter((subject) => !subject.frame)
        .map((subject) => `${sources.get(subject.source)?.endpoint ?? subject.source}: ${subject.enabled ? 'no frame yet' : 'disabled, no frame'}`);
      note.textContent = shown.length ? '' : 'no camera';
      legend.replaceChildren(...withoutFrame.map((text) => Object.assign(document.createElement('div'), { textContent: text })));
      // What the view shows, for a reader that cannot look at the canvas.
      element.dataset.cameras = JSON.stringify(shown.map((subject) => ({ source: subject.source, color: markers.get(`${subject.source}|${subject.name}`).color })));
      const first = shown[0]?.frame ?? null;
      const framing = lastFrame === null && first !== null;
      lastFrame = first;
      if (framing) {
        frameCamera();
      }
      if (changed) {
        requestRender();
      }
    },
  };
}
