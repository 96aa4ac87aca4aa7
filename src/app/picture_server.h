// The picture server "/s directory": every 500 ms the request folder is searched for a file
// "RQ*.REQ" naming an event file and an image file; the event is drawn into that image and the
// status bar counts the requests served. A request whose first word is "stop" ends the program.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <filesystem>
#include <optional>
#include <string>

namespace tlx::app {

class CMainFrame;
class EventWindow;

struct PictureRequest {
    std::string eventFile; // "stop": end the program
    std::string imageFile;
};

// Takes the first request file of `folder` (names compared without regard to case): reads its
// two words and deletes it. Absent when there is none, or when it holds no word.
std::optional<PictureRequest> takePictureRequest(const std::filesystem::path& folder);

class PictureServer : public QObject {
    Q_OBJECT
  public:
    PictureServer(CMainFrame& frame, std::filesystem::path folder);
    int served() const { return served_; }

  private:
    void poll();

    CMainFrame& frame_;
    std::filesystem::path folder_;
    QTimer timer_;
    QPointer<EventWindow> window_;
    int served_ = 0;
};

} // namespace tlx::app
