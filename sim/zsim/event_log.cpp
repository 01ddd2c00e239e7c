#include "sim/zsim/event_log.h"

#include <cmath>
#include <cstring>

#include "sim/physics/ground_point.h"
#include "sim/physics/physics.h"
#include "sim/zsim/csv_field.h"
#include "sim/zsim/printable.h"

namespace zenthar::zsim {

namespace {

const char* const kBoosterSeparation = "booster separation";
const char* const kFairingJettison = "fairing jettison";
const char* const kSatelliteRelease = "satellite release";

/// What a body that appears during the flight means, from the role its class file gives it;
/// anything else the launcher makes is the satellite, the body it releases last.
const char* MilestoneOf(const ClassRegistry& classes, const std::string& className) {
  const VesselClass* made = classes.Find(className);
  const VesselRole role = made ? made->role : VesselRole::kNone;
  if (role == VesselRole::kBooster) return kBoosterSeparation;
  if (role == VesselRole::kFairing) return kFairingJettison;
  return kSatelliteRelease;
}

std::string Level(double level) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", level);
  return text;
}

/// What an event says in the timeline, and of whom; names as the terminal may show them.
void Wording(const FlightEvent& event, std::string& what, std::string& who) {
  who = Printable(event.vessel);
  if (event.kind == "engine") {
    what = event.detail == "0"   ? "main engine cut-off"
           : event.detail == "1" ? "main engine ignition"
                                 : "main engine at " + event.detail;
  } else if (event.kind == "booster_ignition") {
    what = "booster ignition";
  } else if (event.kind == "vessel_created") {
    what = event.atLoad ? "in the scenario" : *event.milestone ? event.milestone : "new vessel";
    who += " (" + Printable(event.detail) + ")";
  } else if (event.kind == "vessel_refused") {
    what = "vessel refused";
    who += " (class " + Printable(event.detail) + ")";
  } else if (event.kind == "focus") {
    what = "focus";
  } else if (event.kind == "propellant_exhausted") {
    what = "propellant exhausted";
  } else if (event.kind == "impact") {
    what = "impact";
  } else if (event.kind == "saved") {
    what = "world saved";
    who = Printable(event.detail);
  } else {
    what = event.kind;
    if (!event.detail.empty()) who += " " + Printable(event.detail);
  }
}

bool SameMoment(const FlightEvent& a, const FlightEvent& b) {
  return a.time == b.time && a.kind == b.kind && a.atLoad == b.atLoad &&
         std::strcmp(a.milestone, b.milestone) == 0 && a.altitude == b.altitude &&
         a.speed == b.speed && a.mass == b.mass && a.latitude == b.latitude &&
         a.longitude == b.longitude;
}

}  // namespace

void EventLog::Add(const std::string& kind, const VesselState* stateOf, const std::string& vessel,
                   const std::string& detail, double time, bool atLoad, const char* milestone) {
  FlightEvent event{time, kind, vessel, detail, 0, 0, 0, 0, 0, atLoad, milestone};
  if (atLoad && stateOf && stateOf == launcher_) launcherAtLoad_.push_back(events_.size());
  if (stateOf) {
    // The state at the end of the frame, over the ground as the planet then stands.
    const GroundPoint ground = GroundPointOf(world_.planet, stateOf->position, world_.time());
    event.altitude = Altitude(*stateOf, world_.planet);
    event.speed = Length(stateOf->velocity);
    event.mass = stateOf->Mass();
    event.latitude = ground.latitude;
    event.longitude = ground.longitude;
  }
  events_.push_back(std::move(event));
}

void EventLog::TakeHostReport(const HostEvent& report, bool atLoad) {
  const VesselState* named = world_.Find(report.vessel);
  if (report.kind == "vessel_created" && !atLoad) {
    const char* milestone = MilestoneOf(world_.classes(), report.detail);
    Add(report.kind, vehicle_, report.vessel, report.detail, report.time, false, milestone);
    phase_ = milestone == kSatelliteRelease  ? "satellite released"
             : milestone == kFairingJettison ? "fairing jettison"
                                             : "core burn";
    return;
  }
  if (report.kind == "vessel_refused" || report.kind == "saved") {
    Add(report.kind, vehicle_, report.vessel, report.detail, report.time, atLoad);
    return;
  }
  if (report.kind == "focus" && !atLoad && named) vehicle_ = named;
  if (report.kind == "propellant_exhausted" && named == launcher_) phase_ = "burnout";
  if (report.kind == "impact" && named == vehicle_) phase_ = "down";
  Add(report.kind, named ? named : vehicle_, report.vessel, report.detail, report.time, atLoad);
}

void EventLog::WatchLauncher(double frameTime) {
  if (!launcher_) return;
  const double level = launcher_->engineLevel[ENGINE_MAIN];
  if (level != mainLevel_) {
    Add("engine", launcher_, launcher_->name, Level(level), frameTime, false);
    if (mainLevel_ == 0) phase_ = "ignition";
    if (level == 0 && std::strcmp(phase_, "satellite released") != 0) phase_ = "coasting";
    mainLevel_ = level;
  }
  if (!boostersLit_ && BoosterFlameLit(*launcher_)) {
    boostersLit_ = true;
    Add("booster_ignition", launcher_, launcher_->name, {}, frameTime, false);
    phase_ = "booster burn";
  }
}

void EventLog::PutLoadIntoEffect() {
  if (!launcher_) return;
  for (std::size_t i : launcherAtLoad_)
    events_[i].mass = launcher_->emptyMass + launcherFuelAtLoad_;
  if (mainLevel_ > 0 && !boostersLit_ && BoosterFlameLit(*launcher_)) {
    boostersLit_ = true;
    phase_ = "booster burn";
  }
}

std::size_t EventLog::Observe() {
  const std::size_t before = events_.size();
  const bool atLoad = !started_;
  if (atLoad) {
    started_ = true;
    launcher_ = world_.Launcher();
    vehicle_ = launcher_ ? launcher_ : world_.focus();
    if (launcher_) {
      launcherFuelAtLoad_ = launcher_->fuelMass;
      mainLevel_ = launcher_->engineLevel[ENGINE_MAIN];
      boostersLit_ = BoosterFlameLit(*launcher_);
    }
    phase_ = launcher_ && launcher_->landed ? "on the pad"
             : mainLevel_ > 0               ? (boostersLit_ ? "booster burn" : "core burn")
                                            : "coasting";
  }
  const std::vector<HostEvent>& reports = world_.events();
  for (; reportsSeen_ < reports.size(); ++reportsSeen_)
    TakeHostReport(reports[reportsSeen_], atLoad);
  if (!atLoad && world_.frame() == 1) PutLoadIntoEffect();
  if (!atLoad && world_.frame() > 0)
    WatchLauncher(static_cast<double>(world_.frame() - 1) * world_.dt);
  return events_.size() - before;
}

std::vector<std::string> TimelineLines(const std::vector<FlightEvent>& events, std::size_t first) {
  std::vector<std::string> lines;
  for (std::size_t i = first; i < events.size();) {
    std::string what;
    std::string who;
    Wording(events[i], what, who);
    std::size_t next = i + 1;
    for (; next < events.size() && SameMoment(events[i], events[next]); ++next) {
      std::string otherWhat;
      std::string otherWho;
      Wording(events[next], otherWhat, otherWho);
      who += ", " + otherWho;
    }
    const FlightEvent& event = events[i];
    char line[256];
    std::snprintf(line, sizeof line,
                  "T+%8.2f s  %-22s alt %8.1f km  v %7.1f m/s  m %8.0f kg  %5.2f%c %6.2f%c  ",
                  event.time, what.c_str(), event.altitude / 1000, event.speed, event.mass,
                  std::fabs(event.latitude), event.latitude < 0 ? 'S' : 'N',
                  std::fabs(event.longitude), event.longitude < 0 ? 'W' : 'E');
    lines.push_back(line + who);
    i = next;
  }
  return lines;
}

void WriteEventsCsv(std::FILE* file, const std::vector<FlightEvent>& events) {
  std::fputs("t_s,event,vessel,detail,altitude_m,speed_m_s,mass_kg,latitude_deg,longitude_deg\n",
             file);
  for (const FlightEvent& event : events) {
    PutCsvNumber(file, event.time);
    std::fprintf(file, ",%s,", event.kind.c_str());
    PutCsvField(file, event.vessel);
    std::fputc(',', file);
    PutCsvField(file, event.detail);
    for (double value :
         {event.altitude, event.speed, event.mass, event.latitude, event.longitude}) {
      std::fputc(',', file);
      PutCsvNumber(file, value);
    }
    std::fputc('\n', file);
  }
}

}  // namespace zenthar::zsim
