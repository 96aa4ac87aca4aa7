// The programs outside Tellurix that its menus start: Google Earth with the record's event and
// station, the web pages of View > Web, and the companion browser.
#pragma once

#include "app/event_commands.h"
#include "app/main_frame.h"
#include "services/google_earth_file.h"

#include <filesystem>
#include <vector>

class QWidget;

namespace tlx::app {

class EventWindow;

// Writes "GoogleEarth.kml" with the points into the program folder and opens it in Google Earth;
// its path, or empty after "Error Creating GoogleEarth.kml file".
std::filesystem::path showPointsInGoogleEarth(AppContext& ctx, const std::vector<KmlPoint>& points,
                                              double range);
// Display/Modify > Google Earth > Event (the event and the station) or Station.
void showRecordInGoogleEarth(EventWindow& window, bool withEvent, AppContext& ctx);
// "GoogleEarth Exe...": the program Google Earth files open with ("GoogleEarthPath").
void chooseGoogleEarthProgram(AppContext& ctx, QWidget* parent);
// View > Web: the page in the desktop's web browser; "&Ferncast" starts the companion browser
// when it is installed, else the web browser, with the new-event page.
void openWebCommand(Cmd cmd, AppContext& ctx);

} // namespace tlx::app
