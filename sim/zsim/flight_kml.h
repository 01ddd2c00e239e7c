#pragma once

#include <string>
#include <vector>

#include "sim/zsim/event_log.h"
#include "sim/zsim/ground_track.h"

namespace zenthar::zsim {

/// Text of any bytes as XML character data: shown as Printable shows it (control characters and
/// bytes that are not UTF-8 as \xNN), the characters XML reserves as references, and the two
/// code points XML refuses (U+FFFE, U+FFFF) as \xNN too, so the document stays well-formed.
std::string XmlText(const std::string& text);

/// flight.kml: a KML 2.2 document (XML in the KML namespace) for globe viewers. Every vessel's
/// track as a line with absolute altitude, the launcher's drawn apart from the bodies it leaves,
/// and one placemark per event worth a mark (GroundMarks). `title` is any text.
std::string FlightKml(const std::string& title, const std::vector<VesselTrack>& tracks,
                      const std::vector<FlightEvent>& events);

}  // namespace zenthar::zsim
