// Two .glb files of the same scene compared: their structure the same, and
// every number equal or, where two C libraries' sin and cos part, one
// float step apart. Plain node, no packages: the page's tests use it too.

const kFloat = 5126;

// The two chunks of a .glb: its JSON, parsed, and its binary data.
export function readGlb(bytes) {
  const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  const jsonLength = view.getUint32(12, true);
  const json = JSON.parse(new TextDecoder().decode(bytes.subarray(20, 20 + jsonLength)));
  const binaryLength = view.getUint32(20 + jsonLength, true);
  const binary = bytes.subarray(28 + jsonLength, 28 + jsonLength + binaryLength);
  return { json, binary };
}

// How many floats lie between two: 0 for the same, 1 for neighbours.
function floatSteps(a, b) {
  const bits = new Int32Array(new Float32Array([a, b]).buffer);
  const ordered = (i) => (i < 0 ? -2147483648 - i : i);
  return Math.abs(ordered(bits[0]) - ordered(bits[1]));
}

// Every difference between two parsed JSON values, with its path.
function jsonDifferences(a, b, where = '') {
  if (typeof a === 'number' && typeof b === 'number') {
    return floatSteps(a, b) <= 1 ? [] : [`${where}: ${a} and ${b}`];
  }
  if (typeof a !== 'object' || a === null || typeof b !== 'object' || b === null) {
    return a === b ? [] : [`${where}: ${JSON.stringify(a)} and ${JSON.stringify(b)}`];
  }
  const keys = new Set([...Object.keys(a), ...Object.keys(b)]);
  return [...keys].flatMap((key) => jsonDifferences(a[key], b[key], `${where}/${key}`));
}

// Every float of the binary chunk more than a step apart, and every other
// byte that differs, by accessor.
function binaryDifferences(native, other) {
  const differences = [];
  native.json.accessors.forEach((accessor, index) => {
    const view = native.json.bufferViews[accessor.bufferView];
    const a = native.binary.subarray(view.byteOffset, view.byteOffset + view.byteLength);
    const b = other.binary.subarray(view.byteOffset, view.byteOffset + view.byteLength);
    if (accessor.componentType === kFloat) {
      const fa = new Float32Array(a.slice().buffer), fb = new Float32Array(b.slice().buffer);
      const apart = fa.findIndex((value, i) => floatSteps(value, fb[i]) > 1);
      if (apart >= 0) differences.push(`accessor ${index}[${apart}]: ${fa[apart]} and ${fb[apart]}`);
    } else if (Buffer.compare(Buffer.from(a), Buffer.from(b)) !== 0) {
      differences.push(`accessor ${index} differs`);
    }
  });
  return differences;
}

// Every difference between two models, as lines that say where.
export function modelDifferences(nativeBytes, otherBytes) {
  const a = readGlb(nativeBytes), b = readGlb(otherBytes);
  const differences = jsonDifferences(a.json, b.json);
  if (b.binary.length !== a.binary.length) differences.push(`binary chunk: ${a.binary.length} and ${b.binary.length} bytes`);
  else differences.push(...binaryDifferences(a, b));
  return differences;
}
