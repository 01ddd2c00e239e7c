#include "sim/physics/pitch_program.h"

#include <algorithm>
#include <cmath>

#include "sim/files/text_format.h"
#include "sim/files/text_reader.h"

namespace zenthar {

bool PitchProgram::Parse(const std::string& text, std::string& error) {
  std::vector<Point> read;
  FieldReader fields("PITCH", text);
  const auto refuse = [&](const std::string& what) {
    fields.Fail(what);
    error = fields.error();
    return false;
  };
  while (!fields.AtEnd()) {
    if (read.size() == kMaxPoints)
      return refuse("expected at most " + std::to_string(kMaxPoints) + " points");
    Point point;
    if (!fields.Number(kEventTime, point.time) || !fields.Number(kElevation, point.elevation))
      return refuse("");
    if (!read.empty() && !(point.time > read.back().time))
      return refuse("expected times that increase, found " + ShortNumber(point.time) + " s after " +
                    ShortNumber(read.back().time) + " s");
    read.push_back(point);
  }
  if (read.empty()) return refuse("expected at least one point: a time and an elevation");
  points = std::move(read);
  return true;
}

double PitchProgram::ElevationAt(double t) const {
  if (t <= points.front().time) return points.front().elevation;
  // The segment ends at the first point at or after t: the one after the last point before t.
  const std::size_t count = points.size();
  std::size_t end = segmentEnd_;
  if (!(end >= 1 && end <= count && points[end - 1].time < t &&
        (end == count || t <= points[end].time))) {
    end = static_cast<std::size_t>(
        std::lower_bound(points.begin() + 1, points.end(), t,
                         [](const Point& point, double time) { return point.time < time; }) -
        points.begin());
    segmentEnd_ = end;
  }
  if (end == count) return points.back().elevation;
  const Point& a = points[end - 1];
  const Point& b = points[end];
  return a.elevation + (t - a.time) / (b.time - a.time) * (b.elevation - a.elevation);
}

PitchProgram PitchProgram::RebasedAt(double t) const {
  PitchProgram rebased;
  rebased.heading = heading;
  rebased.plane = plane;
  if (points.empty()) return rebased;
  // Before its first point a program holds that point's elevation, so a program that has not
  // reached it yet moves as it is; one under way starts from where it stands. Either keeps at
  // most kMaxPoints points.
  const bool underWay = t > points.front().time;
  if (underWay) rebased.points.push_back({0, ElevationAt(t)});
  for (const Point& point : points)
    if (!underWay || point.time > t) rebased.points.push_back({point.time - t, point.elevation});
  return rebased;
}

std::string PitchProgram::PointsText() const {
  std::string text;
  for (const Point& point : points) {
    if (!text.empty()) text += " ";
    text += FormatDouble(point.time) + " " + FormatDouble(point.elevation);
  }
  return text;
}
}  // namespace zenthar
