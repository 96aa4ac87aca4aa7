// What the "Great Circle Distance Calculator" dialog (CWorldist) computes, without its window.
#pragma once

#include <array>
#include <string>

namespace tlx {

struct GreatCircleCalculation {
    // Beside each input (event latitude, event longitude, station latitude, station longitude):
    // the value in degrees:minutes:seconds form, "???" when empty, "ERROR" when invalid.
    std::array<std::string, 4> echo;
    std::string eventRegion; // "???" without a valid event position
    std::string stationRegion;
    std::string distance;              // "%-4.3f deg  %-5.4f km  %-5.4f mi\n" or "???"
    std::string azimuthEventToStation; // "%-4.1f degrees" or "???"
    std::string azimuthStationToEvent;
};

class CWorldist {
  public:
    std::string eventLatitude, eventLongitude, stationLatitude, stationLongitude;

    // "C&alculate".
    GreatCircleCalculation calculate() const;
    // A field whose text starts with "E" or "?" is cleared when the user enters it.
    static bool clearsOnEntry(const std::string& text) {
        return !text.empty() && (text[0] == 'E' || text[0] == '?');
    }
};

} // namespace tlx
