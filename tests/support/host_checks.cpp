#include "tests/support/host_checks.h"

#include <gtest/gtest.h>

using namespace zenthar;

namespace {

void ExpectComponent(double actual, double expected, double tolerance, const std::string& what) {
  if (tolerance == 0) {
    EXPECT_EQ(actual, expected) << what;
  } else {
    EXPECT_NEAR(actual, expected, tolerance) << what;
  }
}

}  // namespace

void ExpectVector(const VECTOR3& actual, const VECTOR3& expected, double tolerance,
                  const std::string& what) {
  ExpectComponent(actual.x, expected.x, tolerance, what + " x");
  ExpectComponent(actual.y, expected.y, tolerance, what + " y");
  ExpectComponent(actual.z, expected.z, tolerance, what + " z");
}

void ExpectMatrix(const Matrix3& actual, const Matrix3& expected, double tolerance,
                  const std::string& what) {
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column)
      ExpectComponent(actual.m[row][column], expected.m[row][column], tolerance,
                      what + " [" + std::to_string(row) + "][" + std::to_string(column) + "]");
}

std::vector<Call> Calls(const Journal& journal) {
  std::vector<Call> calls;
  for (const JournalEntry& entry : journal.entries())
    calls.emplace_back(entry.operation, entry.arguments);
  return calls;
}

std::vector<std::string> CallTexts(const Journal& journal) {
  std::vector<std::string> texts;
  for (const Call& call : Calls(journal)) texts.push_back(call.first + "(" + call.second + ")");
  return texts;
}

std::vector<std::string> ArgumentsOf(const Journal& journal, const std::string& operation) {
  std::vector<std::string> arguments;
  for (const JournalEntry& entry : journal.entries())
    if (entry.operation == operation) arguments.push_back(entry.arguments);
  return arguments;
}
