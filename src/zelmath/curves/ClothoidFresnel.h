#pragma once

// The clothoid's position from its Fresnel integrals; not part of the public interface. The
// method, its ranges and its measured accuracy are stated with CCurveSpiralTStoSC.

namespace clothoid {

// The point at arc length s >= 0 (metres) of the clothoid from the origin heading north whose
// tangent angle at s is t radians (t = s^2 / (2 A^2), positive turning right):
//   n = integral_0^s cos(t u^2 / s^2) du,  e = integral_0^s sin(t u^2 / s^2) du.
void point(double s, double t, double& n, double& e);

}  // namespace clothoid
