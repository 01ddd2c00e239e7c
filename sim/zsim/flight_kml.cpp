#include "sim/zsim/flight_kml.h"

#include <cstdio>

#include "sim/files/text_format.h"
#include "sim/zsim/printable.h"

namespace zenthar::zsim {

namespace {

/// "lon,lat,alt" as KML orders a coordinate: degrees to about a centimetre, metres to one.
void AppendCoordinate(std::string& kml, double latitude, double longitude, double altitude) {
  char text[3 * kFixedTextSize];
  char* end = WriteFixed(text, longitude, 7);
  *end++ = ',';
  end = WriteFixed(end, latitude, 7);
  *end++ = ',';
  end = WriteFixed(end, altitude, 1);
  kml.append(text, end);
}

void AppendTrack(std::string& kml, const VesselTrack& track) {
  kml += "<Placemark><name>" + XmlText(track.name) + "</name><styleUrl>#" +
         (track.launcher ? "launcher" : "body") +
         "</styleUrl><LineString><altitudeMode>absolute</altitudeMode><coordinates>\n";
  for (const TrackPoint& point : track.points) {
    AppendCoordinate(kml, point.latitude, point.longitude, point.altitude);
    kml += '\n';
  }
  // A line has two points at least: a vessel that never moved stays where it stood.
  if (track.points.size() == 1) {
    const TrackPoint& point = track.points.front();
    AppendCoordinate(kml, point.latitude, point.longitude, point.altitude);
    kml += '\n';
  }
  kml += "</coordinates></LineString></Placemark>\n";
}

void AppendMark(std::string& kml, const GroundMark& mark) {
  const FlightEvent& event = *mark.event;
  char description[160];
  std::snprintf(description, sizeof description,
                "T+%.2f s, altitude %.1f km, speed %.1f m/s, mass %.0f kg", event.time,
                event.altitude / 1000, event.speed, event.mass);
  kml += "<Placemark><name>" + std::string(mark.label) + ": " + XmlText(event.vessel) +
         "</name><description>" + description +
         "</description><styleUrl>#event</styleUrl><Point><altitudeMode>absolute</altitudeMode>"
         "<coordinates>";
  AppendCoordinate(kml, event.latitude, event.longitude, event.altitude);
  kml += "</coordinates></Point></Placemark>\n";
}

}  // namespace

std::string XmlText(const std::string& text) {
  const std::string shown = Printable(text);
  std::string xml;
  xml.reserve(shown.size());
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const char c = shown[i];
    // U+FFFE and U+FFFF are EF BF BE and EF BF BF in UTF-8.
    if (static_cast<unsigned char>(c) == 0xef && i + 2 < shown.size() &&
        static_cast<unsigned char>(shown[i + 1]) == 0xbf &&
        (static_cast<unsigned char>(shown[i + 2]) & 0xfe) == 0xbe) {
      xml += shown[i + 2] == '\xbe' ? "\\xef\\xbf\\xbe" : "\\xef\\xbf\\xbf";
      i += 2;
      continue;
    }
    switch (c) {
      case '&':
        xml += "&amp;";
        break;
      case '<':
        xml += "&lt;";
        break;
      case '>':
        xml += "&gt;";
        break;
      case '"':
        xml += "&quot;";
        break;
      case '\'':
        xml += "&apos;";
        break;
      default:
        xml += c;
    }
  }
  return xml;
}

std::string FlightKml(const std::string& title, const std::vector<VesselTrack>& tracks,
                      const std::vector<FlightEvent>& events) {
  // Room for the whole text at once: a line of coordinates takes some 40 bytes, the rest a few
  // hundred a vessel and a mark.
  std::size_t room = 1024 + 512 * (tracks.size() + events.size());
  for (const VesselTrack& track : tracks) room += 48 * (track.points.size() + 1);
  std::string kml;
  kml.reserve(room);
  kml +=
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n<name>" +
      XmlText(title) +
      "</name>\n"
      "<Style id=\"launcher\"><LineStyle><color>ff2827d6</color><width>3</width></LineStyle>"
      "</Style>\n"
      "<Style id=\"body\"><LineStyle><color>ffb4771f</color><width>2</width></LineStyle>"
      "</Style>\n"
      "<Style id=\"event\"><IconStyle><scale>0.8</scale></IconStyle></Style>\n"
      "<Folder><name>Tracks</name>\n";
  for (const VesselTrack& track : tracks) AppendTrack(kml, track);
  kml += "</Folder>\n<Folder><name>Events</name>\n";
  for (const GroundMark& mark : GroundMarks(events)) AppendMark(kml, mark);
  kml += "</Folder>\n</Document>\n</kml>\n";
  return kml;
}

}  // namespace zenthar::zsim
