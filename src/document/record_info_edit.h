// The rules of the "Event File Information" sheet without Qt: coordinate, time, depth and
// magnitude texts, the Event page's list of earthquakes with New/Delete/Make/Add/Replace, the
// Sensor and Time pages' fields, the checks made when a page is left, and applying the pages to
// the records of an event document. The sheet's pages and the console's "set" share them.
#pragma once

#include "document/doc_save.h"
#include "document/eq_doc.h"
#include "record/geography.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tlx {

// --- texts ------------------------------------------------------------------------------------

enum class Hemisphere { Latitude, Longitude };

// "45:30N", "45.5 N", "120 W", "45:30:15S" -> decimal degrees (south and west negative).
std::optional<double> parseCoordinate(std::string_view text, Hemisphere axis);
// "%02d:%02d:%02d" and the letter; exactly 0 gives an empty text.
std::string coordinateDisplay(double value, Hemisphere axis);
// What a valid field is rewritten to: decimal degrees and the letter ("45.5N").
std::string coordinateFieldText(double value, Hemisphere axis);

// "mm/dd/yyyy hh:mm:ss.s"; a year below 100 is 2000 + year.
std::optional<EventTime> parseEventTime(std::string_view text);
std::string eventTimeText(const EventTime& t);

std::optional<double> parseDepth(std::string_view text);     // -20000..1000 km
std::optional<double> parseMagnitude(std::string_view text); // -11..11
struct OtherMagnitude {
    std::string type; // "M" when the text has no letters
    double value = 0;
};
// The "Other" field: its letters are the type name, its digits, "." and "-" the number.
std::optional<OtherMagnitude> parseOtherMagnitude(std::string_view text);

// Numbers shown in the fields: "%g", empty for an unknown value.
std::string numberField(double value, double unknown = 0);

// --- the current event report -------------------------------------------------------------

// A row of an earthquake report list, as the Event page uses it.
struct CurrentEventReport {
    int year = 0; // years since 1900
    int month = 0, day = 0, hour = 0, minute = 0, second = 0, tenths = 0;
    double latitude = 0, longitude = 0, depth = 0;
    double magnitude = 0, magnitude2 = 0;
    std::string magType, magType2;
    std::string comment; // the region
    std::string reportId;
    std::string agency;
    char quality = 0;
    // From the report list: a letter (E, N, Q...). Built with Make: the list index.
    char eventType = 0;
    bool eventTypeIsIndex = false;
};
std::string reportText(const CurrentEventReport& report);
// The event entry a report becomes (Add, Replace).
EventEntry entryFromReport(const CurrentEventReport& report);

// --- Event page ---------------------------------------------------------------------------

struct EventForm {
    std::string comment, time, ms, mb, mw, ml, md, other, latitude, longitude, depth, agency;
    int eventType = 0; // 0 none, 1 Quake, 2 Nuclear, 3 Quarry, 4 Other
    int quality = 0;   // 0 none, 1 A .. 5 E
};

enum class InfoField {
    None,
    Time,
    Latitude,
    Longitude,
    Depth,
    Elevation,
    Incident,
    Azimuth,
    Sensitivity,
    OutputVoltage,
    AmpGain,
    AdVolts,
    Correction,
    AdBits,
    Date,
    Offset,
};

// Why a page cannot be left: the message and the field that gets the focus.
struct Refusal {
    InfoField field = InfoField::None;
    std::string message;
};

// What the page needs from the window: the selected record's place name and position.
struct EventPageContext {
    std::string placeName; // priorLocation, else sensorLocation
    double sensorLatitude = kUnknownValue, sensorLongitude = kUnknownValue;
    const Geography* geography = nullptr;
};

class EventPageLogic {
  public:
    EventPageLogic(const ChannelInfo& selected, std::optional<CurrentEventReport> report,
                   EventPageContext context);

    EventForm form; // the page's texts; the page writes them back before each action

    const std::vector<EventEntry>& events() const { return events_; }
    int shown() const { return shown_; }
    int currentEvent() const { return currentEvent_; }
    void show(int index);

    // Field checks ("ERROR" beside a field that fails).
    bool timeValid() const { return parseEventTime(form.time).has_value(); }
    bool latitudeValid() const { return parseCoordinate(form.latitude, Hemisphere::Latitude).has_value(); }
    bool longitudeValid() const { return parseCoordinate(form.longitude, Hemisphere::Longitude).has_value(); }
    bool depthValid() const { return parseDepth(form.depth).has_value(); }
    bool anyMagnitudeValid() const;
    bool canMake() const;
    // Leaving a coordinate field: a valid one is rewritten as decimal degrees.
    void normaliseCoordinates();

    bool newEnabled() const { return newEnabled_; }
    bool addEnabled() const { return addReplaceEnabled_; }
    bool replaceEnabled() const { return addReplaceEnabled_; }
    bool modifyComment = false;
    const std::optional<CurrentEventReport>& report() const { return report_; }
    std::string reportLine() const { return report_ ? reportText(*report_) : std::string(); }

    void newEntry();
    void deleteEntry(); // after the user said Yes to "Clear Event Report Information"
    bool make();        // false when Make is not enabled
    void add();
    void replace();
    // Leaving the page: the shown entry rebuilt from the fields, or removed; a refusal keeps it open.
    std::optional<Refusal> leave();

  private:
    EventEntry entryFromForm() const;
    void store(const EventEntry& entry, bool append);
    std::string rebuiltComment(const CurrentEventReport& r) const;

    std::vector<EventEntry> events_;
    EventForm shownForm_; // the fields as the shown entry filled them
    int shown_ = -1;
    int currentEvent_ = 0;
    std::optional<CurrentEventReport> report_;
    EventPageContext context_;
    bool newEnabled_ = true;
    bool addReplaceEnabled_ = false;
};

// --- Sensor and Time pages ----------------------------------------------------------------

struct SensorForm {
    std::string latitude, longitude, elevation;
    int orientation = 0; // 0 "?", 1 Z, 2 N-S, 3 E-W
    std::string incident, azimuth;
    std::string sensorLocation, sensorDescription;
    int sensorType = 0;
    std::string sensitivity, sensorId, componentName, network, correction, adBits;
    std::string outputVoltage, ampGain, adVolts, seedLocation;
    std::string dataLogger; // read-only
};
SensorForm sensorForm(const EventRecord& record);
// Z -> 0/0, N-S -> 90/0, E-W -> 90/90.
void chooseOrientation(SensorForm& form, int orientation);
bool calcSensEnabled(const SensorForm& form);
// Calc Sens: the sensitivity from the electrical description, or the output voltage from the
// sensitivity. False when there was nothing to compute.
bool calcSens(SensorForm& form);
// The sensitivity field is read-only while all four values are non-zero.
bool sensitivityLocked(const SensorForm& form);

struct SensorValues {
    std::optional<double> latitude, longitude; // empty field: kept as it is
    double elevation = kUnknownValue;
    char orientation = 0;
    double incident = kUnknownValue, azimuth = kUnknownValue;
    std::string sensorLocation, sensorDescription;
    int sensorType = 0;
    double sensitivity = 0;
    std::string sensorId, componentName, network;
    double correction = 0;
    int adBits = 0;
    double outputVoltage = 0, ampGain = 0, adVolts = 0;
    std::string seedLocation;
};
// The checks made when the Sensor page is left, in their order.
std::optional<Refusal> readSensorForm(const SensorForm& form, SensorValues& out);

struct TimeForm {
    std::string date;   // mm/dd/yyyy
    std::string time;   // hh:mm:ss
    std::string millis; // 0..999
    std::string offset; // seconds
    int timeRef = 0;    // 0 None, 1 GPS, 2 WWV, 3 WWVB, 4 DCF77, 5 NTP, 6 Other
    int lock = 0;       // 0 Not Locked, 1 Was Locked, 2 Locked
};
TimeForm timeForm(const EventRecord& record);
struct TimeValues {
    EventTime start{};
    double offset = 0;
    char timeRef[3] = {};
    char lock = 0;
};
std::optional<Refusal> readTimeForm(const TimeForm& form, TimeValues& out);

// --- applying the sheet ---------------------------------------------------------------------

struct EventPageValues {
    std::string comment;
    std::vector<EventEntry> events;
    int currentEvent = 0;
};

struct InfoEdits {
    std::optional<EventPageValues> event;
    std::optional<SensorValues> sensor;
    std::optional<TimeValues> time;
};

struct InfoApplied {
    bool any = false;
    bool event = false;       // markers reset, distance read-out again
    bool calibration = false; // magnitudes again
    bool time = false;        // time axis rebuilt
};
// Each page's values go to every record or only to the selected one; a field is written only
// when it differs, and each changed record gets its modified flag.
InfoApplied applyRecordInfo(CEqDoc& doc, int selected, const InfoEdits& edits);

// "Add Header Information": the dataless SEED (or SEED) file's description goes to every record
// whose station and channel it holds, each marked modified. Returns how many; with none, `message`
// says why ("Dataless SEED or SEED File Parse Error", "No Channel Information Found in File %s").
int addMiniSeedInformation(CEqDoc& doc, const std::filesystem::path& file, std::string& message);

// --- writing a file back ---------------------------------------------------------------------

// The save choice that writes the window's records back in the format they came from; empty with
// `refusal` set for formats the program cannot write.
std::optional<SaveChoice> writeBackChoice(const CEqDoc& doc, std::string& refusal);

} // namespace tlx
