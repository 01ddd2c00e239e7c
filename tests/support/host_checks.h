#pragma once

// What tests read off the host: vectors and attitudes compared component by component, and the
// journal's calls as lists.

#include <string>
#include <utility>
#include <vector>

#include "host/vector3.h"
#include "sim/physics/vec_math.h"
#include "sim/world/journal.h"

/// Each component within the tolerance; with tolerance 0, equal.
void ExpectVector(const VECTOR3& actual, const VECTOR3& expected, double tolerance = 0,
                  const std::string& what = "");
void ExpectMatrix(const zenthar::Matrix3& actual, const zenthar::Matrix3& expected,
                  double tolerance, const std::string& what = "");

using Call = std::pair<std::string, std::string>;  // operation, arguments

std::vector<Call> Calls(const zenthar::Journal& journal);
/// Each call as "operation(arguments)".
std::vector<std::string> CallTexts(const zenthar::Journal& journal);
/// The arguments of every call of one operation, in order.
std::vector<std::string> ArgumentsOf(const zenthar::Journal& journal, const std::string& operation);
