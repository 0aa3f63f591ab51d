// interpolation: the numbered easing curves that shape the sequences' slides and fades.
#pragma once

// Maps the elapsed fraction t (not clamped) to progress through curve `type`:
// 0 linear, 1-3 quadratic, 4-6 cubic, 7-9 exponential, 10-12 circular, 13-15 sine,
// 16-18 bounce, 19-21 back, 22-24 elastic (each in, out, in-out). Other types give t.
float interpolate(float t, int type);
