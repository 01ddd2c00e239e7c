// The host's free functions: scenario lines, delayed key acceptance, vessel lookup and focus.

#include "host/zapi.h"

#include "sim/files/scenario_stream.h"
#include "sim/files/text_format.h"
#include "sim/world/call_format.h"
#include "sim/world/world.h"

// The host interface is the boundary and stays global; its bodies are the host's.
using namespace zenthar;

namespace {

template <typename... Args>
void Trace(const char* operation, const std::string& answer, const Args&... args) {
  World* world = World::Current();
  if (world && world->journal().enabled())
    world->Record(nullptr, operation, FormatArgs(args...), answer);
}

}  // namespace

bool zapiReadScenario_nextline(FILEHANDLE scenario, char*& line) {
  auto* stream = static_cast<ScenarioStream*>(scenario);
  if (!stream || stream->next >= stream->lines.size()) {
    Trace("zapiReadScenario_nextline", "false");
    return false;
  }
  stream->current = stream->lines[stream->next++];
  line = stream->current.data();
  Trace("zapiReadScenario_nextline", "true", stream->current);
  return true;
}

void zapiWriteScenario_int(FILEHANDLE scenario, const char* key, int value) {
  Trace("zapiWriteScenario_int", "", key, value);
  if (scenario && key) static_cast<ScenarioStream*>(scenario)->Write(key, std::to_string(value));
}

void zapiWriteScenario_float(FILEHANDLE scenario, const char* key, double value) {
  Trace("zapiWriteScenario_float", "", key, value);
  if (scenario && key) static_cast<ScenarioStream*>(scenario)->Write(key, FormatDouble(value));
}

void zapiWriteScenario_string(FILEHANDLE scenario, const char* key, const char* value) {
  Trace("zapiWriteScenario_string", "", key, value);
  if (scenario && key) static_cast<ScenarioStream*>(scenario)->Write(key, value ? value : "");
}

bool zapiAcceptDelayedKey(int key, double interval) {
  World* world = World::Current();
  const bool accepted = world && world->AcceptDelayedKey(key, interval);
  Trace("zapiAcceptDelayedKey", FormatArg(accepted), key, interval);
  return accepted;
}

OBJHANDLE zapiGetVesselByName(const char* name) {
  World* world = World::Current();
  VesselState* found = world && name ? world->Find(name) : nullptr;
  Trace("zapiGetVesselByName", found ? FormatArg(found->name) : "null", name);
  return found;
}

void zapiSetFocusObject(OBJHANDLE vessel) {
  World* world = World::Current();
  if (!world) return;
  VesselState* target = nullptr;
  for (const auto& candidate : world->vessels())
    if (candidate.get() == vessel) target = candidate.get();
  Trace("zapiSetFocusObject", "", target ? target->name.c_str() : "unknown");
  if (target) world->SetFocus(target);
}
