#!/bin/sh
# Debian 12's Blender (3.4, with NumPy 1.24) importing a view's model with
# its importer's defaults: at the frame a scene opens on (frame 1, 1/24 s
# into the swings) every gate leaf stands as its node has it, within 3
# degrees; 22 objects named as the nodes, a 50-degree camera, 11 materials.
#   blender_import.sh HOUSE_EXPORT
set -eu
if ! command -v blender >/dev/null; then
  echo "SKIPPED: Blender is not installed: tools/install-deps.sh installs it (blender python3-numpy)"
  exit 77
fi
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
"$1" --keys "x*40 o*20 Up*10" "$folder/house.glb"  # both gates part-open
blender -b --factory-startup --python-exit-code 1 --python-expr "$(cat <<'PY'
import bpy, json, math, numpy, struct, sys
numpy.bool = bool  # NumPy 1.24 took it away; Blender 3.4's importer still calls it
model = sys.argv[-1]
data = open(model, 'rb').read()
nodes = json.loads(data[20:20 + struct.unpack_from('<I', data, 12)[0]])['nodes']
bpy.ops.wm.read_factory_settings(use_empty=True)
bpy.ops.import_scene.gltf(filepath=model)
bpy.context.scene.frame_set(bpy.context.scene.frame_current)
for node in (n for n in nodes if 'leaf' in n['name']):
    q = node.get('rotation', [0, 0, 0, 1])  # glTF's turn about +Y is Blender's about +Z
    x = bpy.data.objects[node['name']].matrix_world.col[0]
    turns = (math.degrees(math.atan2(x[1], x[0])), math.degrees(2 * math.atan2(q[1], q[3])))
    print('%s: %.2f degrees, its node %.2f' % (node['name'], *turns))
    assert abs((turns[0] - turns[1] + 180) % 360 - 180) < 3, node['name']
assert sorted(o.name for o in bpy.data.objects) == sorted(n['name'] for n in nodes) and len(nodes) == 22
assert [round(math.degrees(c.angle_y), 3) for c in bpy.data.cameras] == [50]
assert len(bpy.data.materials) == 11
PY
)" -- "$folder/house.glb"
