#include "sim/guidance/burn_solver.h"

#include <cmath>
#include <utility>

#include "sim/guidance/orbit_geometry.h"
#include "sim/physics/physical_constants.h"
#include "sim/physics/vec_math.h"

namespace zenthar::guidance {

namespace {

const double kLongestBurn = 2000;  // s: no burn of the core stage lasts longer
const int kMostUnknowns = 4;

double Energy(const LauncherModel& model, const ModelState& state) {
  return EnergyOf(state.position_I, state.velocity_I, model.planet().gm);
}

/// The attitude for a step of h from the state: the law taken in the middle of the step, the side
/// along the plane's normal.
Matrix3 StepAttitude(const ModelState& state, const SteeringLaw& law, double h) {
  const VECTOR3 nose_I =
      CoreNose(state.position_I + (0.5 * h) * state.velocity_I, state.time + 0.5 * h, law);
  return AttitudeAlong(nose_I, law.normal_I);
}

/// The misses the solver drives to zero, each over the size it must reach.
int Residuals(const BurnPrediction& p, bool holdPlane, double* f) {
  f[0] = p.radiusMiss / 1000;
  f[1] = p.radialSpeed / 10;
  if (!holdPlane) return 2;
  f[2] = p.planeDistance / 1000;
  f[3] = p.planeSpeed / 10;
  return 4;
}

double Norm(const double* f, int n) {
  double sum = 0;
  for (int i = 0; i < n; ++i) sum += f[i] * f[i];
  return std::sqrt(sum);
}

bool Converged(const BurnPrediction& p, bool holdPlane) {
  const bool inPlane =
      !holdPlane || (std::fabs(p.planeDistance) < 1 && std::fabs(p.planeSpeed) < 0.01);
  return std::fabs(p.radiusMiss) < 1 && std::fabs(p.radialSpeed) < 0.01 && inPlane;
}

double* Coefficient(SteeringLaw& law, int i) {
  double* const coefficients[kMostUnknowns] = {&law.pitch, &law.pitchRate, &law.yaw, &law.yawRate};
  return coefficients[i];
}

/// Solves a x = b (n unknowns) by elimination with partial pivoting; false when singular.
bool SolveLinear(double a[kMostUnknowns][kMostUnknowns], double* b, int n, double* x) {
  for (int col = 0; col < n; ++col) {
    int pivot = col;
    for (int row = col + 1; row < n; ++row)
      if (std::fabs(a[row][col]) > std::fabs(a[pivot][col])) pivot = row;
    if (std::fabs(a[pivot][col]) < 1e-300) return false;
    for (int k = 0; k < n; ++k) std::swap(a[col][k], a[pivot][k]);
    std::swap(b[col], b[pivot]);
    for (int row = col + 1; row < n; ++row) {
      const double m = a[row][col] / a[col][col];
      for (int k = col; k < n; ++k) a[row][k] -= m * a[col][k];
      b[row] -= m * b[col];
    }
  }
  for (int row = n - 1; row >= 0; --row) {
    double sum = b[row];
    for (int k = row + 1; k < n; ++k) sum -= a[row][k] * x[k];
    x[row] = sum / a[row][row];
  }
  return true;
}

}  // namespace

BurnPrediction PredictBurn(const LauncherModel& model, const ModelState& start,
                           const SteeringLaw& law, const BurnAim& aim, double h) {
  const double gm = model.planet().gm;
  BurnPrediction prediction;
  ModelState state = start;
  const double ground = model.planet().radius;
  while (state.propellant > 0 && state.time - start.time < kLongestBurn &&
         Length(state.position_I) > ground) {
    const Matrix3 attitude = StepAttitude(state, law, h);
    ModelState next = state;
    model.Step(next, attitude, 1, h);
    const double after = Energy(model, next);
    if (after < aim.energy) {
      state = next;
      continue;
    }
    // The aim is reached within this step: find the part of the step that reaches it.
    double low = 0, lowEnergy = Energy(model, state);
    double high = h, highEnergy = after;
    ModelState end = next;
    for (int i = 0; i < 6 && highEnergy - lowEnergy > 1e-9 * std::fabs(aim.energy); ++i) {
      const double part = low + (high - low) * (aim.energy - lowEnergy) / (highEnergy - lowEnergy);
      end = state;
      model.Step(end, attitude, 1, part);
      const double energy = Energy(model, end);
      if (energy < aim.energy) {
        low = part;
        lowEnergy = energy;
      } else {
        high = part;
        highEnergy = energy;
      }
    }
    state = end;
    prediction.reached = true;
    break;
  }
  prediction.end = state;
  const double r = Length(state.position_I);
  prediction.radiusMiss = r - aim.radius;
  prediction.radialSpeed = Dot(state.velocity_I, state.position_I) / r;
  prediction.planeDistance = Dot(state.position_I, law.normal_I);
  prediction.planeSpeed = Dot(state.velocity_I, law.normal_I);
  if (!prediction.reached) {
    const double needed2 = 2 * (aim.energy + gm / r);
    prediction.shortfall = std::sqrt(needed2 > 0 ? needed2 : 0) - Length(state.velocity_I);
  }
  return prediction;
}

bool SolveSteering(const LauncherModel& model, const ModelState& start, const BurnAim& aim,
                   double h, int iterations, SteeringLaw& law, BurnPrediction& prediction) {
  const double steps[kMostUnknowns] = {1e-3, 1e-5, 1e-3, 1e-5};  // finite-difference steps
  prediction = PredictBurn(model, start, law, aim, h);
  double f[kMostUnknowns];
  const int n = Residuals(prediction, aim.holdPlane, f);
  for (int iteration = 0; iteration < iterations; ++iteration) {
    if (Converged(prediction, aim.holdPlane)) return true;
    double jacobian[kMostUnknowns][kMostUnknowns];
    for (int j = 0; j < n; ++j) {
      SteeringLaw moved = law;
      *Coefficient(moved, j) += steps[j];
      double g[kMostUnknowns];
      Residuals(PredictBurn(model, start, moved, aim, h), aim.holdPlane, g);
      for (int i = 0; i < n; ++i) jacobian[i][j] = (g[i] - f[i]) / steps[j];
    }
    double rhs[kMostUnknowns], dx[kMostUnknowns];
    for (int i = 0; i < n; ++i) rhs[i] = -f[i];
    if (!SolveLinear(jacobian, rhs, n, dx)) return false;
    // Take as much of the Newton step as lowers the misses.
    const double before = Norm(f, n);
    bool improved = false;
    for (double part = 1; part > 1.0 / 64 && !improved; part /= 2) {
      SteeringLaw trial = law;
      for (int j = 0; j < n; ++j) *Coefficient(trial, j) += part * dx[j];
      const BurnPrediction tried = PredictBurn(model, start, trial, aim, h);
      double g[kMostUnknowns];
      Residuals(tried, aim.holdPlane, g);
      if (Norm(g, n) < before) {
        law = trial;
        prediction = tried;
        for (int i = 0; i < n; ++i) f[i] = g[i];
        improved = true;
      }
    }
    if (!improved) return false;
  }
  return Converged(prediction, aim.holdPlane);
}

bool SolveSteeringAfresh(const LauncherModel& model, const ModelState& start, const BurnAim& aim,
                         double h, int iterations, bool warm, SteeringLaw& law,
                         BurnPrediction& prediction) {
  const double coldPitches[] = {50 * kDegree, 30 * kDegree, 70 * kDegree};  // rad
  const SteeringLaw given = law.At(start.time);
  bool first = true;
  for (int attempt = warm ? -1 : 0; attempt < 3; ++attempt) {
    SteeringLaw tried = given;
    if (attempt >= 0) {
      tried.pitch = std::tan(coldPitches[attempt]);
      tried.pitchRate = -tried.pitch / 300;  // level after five minutes
      tried.yaw = 0;
      tried.yawRate = 0;
    }
    BurnPrediction predicted;
    const bool solved = SolveSteering(model, start, aim, h, iterations, tried, predicted);
    if (solved || first) {
      law = tried;
      prediction = predicted;
    }
    if (solved) return true;
    first = false;
  }
  return false;
}

double HighestApoapsis(const LauncherModel& model, const ModelState& start, const BurnAim& aim,
                       double lowest, double highest, double reserve, double h, SteeringLaw& law) {
  const double gm = model.planet().gm;
  const auto reaches = [&](double apoapsis, SteeringLaw& tried) {
    BurnAim lower = aim;
    lower.energy = -gm / (aim.radius + apoapsis);
    BurnPrediction prediction;
    return SolveSteering(model, start, lower, h, 20, tried, prediction) && prediction.reached &&
           prediction.end.propellant >= reserve;
  };
  SteeringLaw tried = law;
  if (!reaches(lowest, tried)) return -1;
  law = tried;
  double low = lowest, high = highest;
  while (high - low > 1000) {
    const double middle = 0.5 * (low + high);
    tried = law;
    if (reaches(middle, tried)) {
      low = middle;
      law = tried;
    } else {
      high = middle;
    }
  }
  return low;
}

}  // namespace zenthar::guidance
