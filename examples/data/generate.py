#!/usr/bin/env python3
"""Writes the sample point clouds of this folder from analytic shapes.

Each cloud is recorded the way a touch probe records a part: the stored point
is the probe ball's centre, one probe radius off the surface along its
normal, on the side the probe came from; points follow scan lines with
uneven spacing, a few regions were never probed, and every coordinate
carries a little noise. Deterministic (fixed seed). Run from anywhere:

    python3 examples/data/generate.py [output-folder]
"""
import math
import os
import random
import sys

PROBE_RADIUS = 1.5  # mm, a 3 mm ball
NOISE = 0.02        # mm, standard deviation per coordinate


def normal_of(height, x, y, h=1e-3):
    """Upward unit normal of the height field z = height(x, y)."""
    dzdx = (height(x + h, y) - height(x - h, y)) / (2 * h)
    dzdy = (height(x, y + h) - height(x, y - h)) / (2 * h)
    length = math.sqrt(dzdx * dzdx + dzdy * dzdy + 1.0)
    return (-dzdx / length, -dzdy / length, 1.0 / length)


def probe_point(rng, height, x, y, side):
    """Centre of a probe touching z = height(x, y) from above (side 1) or below (-1)."""
    n = normal_of(height, x, y)
    z = height(x, y)
    return (x + side * PROBE_RADIUS * n[0] + rng.gauss(0, NOISE),
            y + side * PROBE_RADIUS * n[1] + rng.gauss(0, NOISE),
            z + side * PROBE_RADIUS * n[2] + rng.gauss(0, NOISE))


def scan_line_steps(rng, length, mean_step):
    """Positions along a scan line, spaced unevenly around mean_step."""
    position, positions = 0.0, []
    while position <= length:
        positions.append(position)
        position += mean_step * rng.uniform(0.4, 1.6)
    return positions


def panel(rng):
    """A car-body panel (a door skin) seen from above: crowned, with a crisp
    character line and a hem roll at one edge; 600 x 400 mm."""
    def height(x, y):
        crown = 30.0 - 0.00012 * (x - 300.0) ** 2 - 0.0004 * (y - 180.0) ** 2
        character = 4.0 * math.tanh((y - 260.0) / 6.0)
        hem = -12.0 * math.exp(-((400.0 - y) / 14.0) ** 2)
        return crown + character + hem

    holes = [(150.0, 120.0, 25.0), (470.0, 300.0, 18.0)]  # clamps: never probed
    points = []
    y = 0.0
    while y <= 400.0:
        for x in scan_line_steps(rng, 600.0, 6.0):
            if any((x - hx) ** 2 + (y - hy) ** 2 < r * r for hx, hy, r in holes):
                continue
            points.append(probe_point(rng, height, x, y + rng.gauss(0, 0.3), 1))
        y += 8.0 * rng.uniform(0.8, 1.2)
    return points


def mould(rng):
    """A mould cavity seen from above: a 240 x 160 mm pocket, 50 mm deep, with
    rounded corners and drafted walls, in a 320 x 240 mm flange."""
    def height(x, y):
        dx = max(abs(x - 160.0) - 90.0, 0.0)
        dy = max(abs(y - 120.0) - 50.0, 0.0)
        outside = math.sqrt(dx * dx + dy * dy)  # distance outside the floor
        wall = 30.0                              # wall run (drafted)
        t = min(outside / wall, 1.0)
        blend = t * t * (3.0 - 2.0 * t)          # smooth floor-to-flange blend
        return -50.0 * (1.0 - blend)

    missing = [(60.0, 200.0, 30.0)]  # the probe could not reach one corner
    points = []
    x = 0.0
    while x <= 320.0:
        for y in scan_line_steps(rng, 240.0, 4.0):
            if any((x - hx) ** 2 + (y - hy) ** 2 < r * r for hx, hy, r in missing):
                continue
            points.append(probe_point(rng, height, x + rng.gauss(0, 0.3), y, 1))
        x += 6.0 * rng.uniform(0.8, 1.2)
    return points


def bowl(rng):
    """A bowl probed from below (drape it along +z): the outside of a 200 mm
    wide, 70 mm high bowl with a flat foot, scanned on concentric circles."""
    def height(x, y):
        r = math.hypot(x, y)
        foot = 30.0
        return 0.0 if r < foot else 70.0 * ((r - foot) / 70.0) ** 1.6

    points = []
    radius = 0.0
    while radius <= 100.0:
        circumference = 2 * math.pi * max(radius, 1.0)
        for s in scan_line_steps(rng, circumference, 3.0):
            angle = s / max(radius, 1.0) + rng.uniform(0, 0.02)
            if 1.0 < angle < 1.5 and radius > 50.0:  # a strip the probe skipped
                continue
            x, y = radius * math.cos(angle), radius * math.sin(angle)
            if math.hypot(x, y) > 100.0:
                continue
            points.append(probe_point(rng, height, x, y, -1))
        radius += 5.0 * rng.uniform(0.8, 1.2)
    return points


def write(folder, name, title, points):
    path = os.path.join(folder, name)
    with open(path, "w", newline="\n") as out:
        out.write("# %s\n# %d probe centres (3 mm ball), x y z in mm\n" % (title, len(points)))
        for x, y, z in points:
            out.write("%.3f %.3f %.3f\n" % (x, y, z))
    print("%s: %d points, %d bytes" % (path, len(points), os.path.getsize(path)))


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    write(folder, "panel.xyz", "car-body panel, probed from above", panel(random.Random(1)))
    write(folder, "mould.xyz", "mould cavity, probed from above", mould(random.Random(2)))
    write(folder, "bowl.xyz", "bowl, probed from below (drape along +z)", bowl(random.Random(3)))


if __name__ == "__main__":
    main()
