#!/usr/bin/env python3
"""Writes chart.svg, the biorhythm chart pictured in the help pages.

It draws what the main window draws for a member on the seventh day after
the birth day with the default cycles (23, 28 and 33 days): the 31 days
around the shown day, the shown day on the vertical axis. The chart is
drawn at twice the window's size (217 x 113) on the window's black-to-blue
background. Run it again after changing the drawing: python3 make_chart.py
"""
import math

WIDTH, HEIGHT = 217, 113          # the chart's size in the main window, pixels
SCALE = 2                         # drawn at twice that size
DAYS_FROM_BIRTH = 7               # the shown day, counted from the birth day
CYCLES = (23.0, 28.0, 33.0)       # health, feeling, intellect, days
COLOURS = ("#ff0000", "#ffff00", "#00ffff")
SAMPLES = 31                      # days on the chart, the shown day in the middle
HALF = SAMPLES // 2


def cycle_phase(cycle, days):
    return math.fmod(days, cycle) / cycle


def curve(cycle):
    points = []
    for j in range(SAMPLES):
        f = cycle_phase(cycle, DAYS_FROM_BIRTH - HALF + j)
        v = int(math.sin(2 * math.pi * f) * 100)
        x = (WIDTH * j) // (SAMPLES - 1)
        y = int(HEIGHT * (0.5 - v / 210))
        points.append(f"{x * SCALE},{y * SCALE}")
    return " ".join(points)


def main():
    w, h = WIDTH * SCALE, HEIGHT * SCALE
    out = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">',
           '<defs><linearGradient id="back" x1="0" y1="0" x2="0" y2="1">'
           '<stop offset="0" stop-color="#000000"/><stop offset="1" stop-color="#0000ff"/>'
           '</linearGradient></defs>',
           f'<rect width="{w}" height="{h}" fill="url(#back)"/>',
           f'<g stroke="#ffffff" stroke-width="{SCALE}">',
           f'<line x1="{w // 2}" y1="0" x2="{w // 2}" y2="{h}"/>',
           f'<line x1="0" y1="{h // 2}" x2="{w}" y2="{h // 2}"/>']
    for i in range(SAMPLES):
        x = (WIDTH * i // (SAMPLES - 1)) * SCALE
        out.append(f'<line x1="{x}" y1="{h // 2 - 2 * SCALE}" x2="{x}" y2="{h // 2 + 4 * SCALE}"/>')
    out.append('</g>')
    for cycle, colour in zip(CYCLES, COLOURS):
        out.append(f'<polyline fill="none" stroke="{colour}" stroke-width="{SCALE}" points="{curve(cycle)}"/>')
    out.append('</svg>')
    with open("chart.svg", "w", encoding="ascii") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
