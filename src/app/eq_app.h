// CEqApp: start-up in order (program directory and its write test, TELLURIX.INI, command line,
// main frame, tables), then an unattended mode or the files named on the command line.
#pragma once

#include "app/main_frame.h"
#include "app/picture_server.h"
#include "app/single_instance.h"

#include <memory>
#include <string>
#include <vector>

namespace tlx::app {

class CEqApp {
  public:
    // Runs the program inside an existing QApplication; returns the exit code.
    int run(const std::vector<std::string>& args);
    CMainFrame* mainFrame() { return frame_.get(); }

  private:
    // The file-association question of the first start (CheckAssoc).
    void offerAssociation();

    AppContext ctx_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<InstanceServer> instanceServer_;
    std::unique_ptr<PictureServer> pictureServer_;
};

} // namespace tlx::app
