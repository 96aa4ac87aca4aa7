// "File Search": the criteria of the file search, live or through the event database, and the
// database's creation. Finds paths for the open-file browser.
#pragma once

#include "browser/search_criteria.h"
#include "core/ini_profile.h"
#include "core/messages.h"
#include "record/loader.h"

#include <QDialog>

#include <filesystem>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace tlx::app {

class CFileSearchDialog : public QDialog {
    Q_OBJECT
  public:
    // `startDirectory`: where a live search begins; the database lives in `programDirectory`.
    CFileSearchDialog(IniProfile& ini, Messages& messages, LoaderSettings loaderSettings,
                      std::filesystem::path programDirectory, std::filesystem::path startDirectory,
                      QWidget* parent = nullptr);

    // The paths found by the last search, in the order found.
    const std::vector<std::string>& found() const { return found_; }
    // Writes the database from `root` with progress in the status text; true when it was written.
    bool createDatabase(const std::filesystem::path& root);
    browser::SearchCriteria criteria() const;

  private:
    void show(const browser::SearchCriteria& c);
    void chooseRoot();
    void search();
    void showStatus();
    bool progress(const std::string& status);

    IniProfile& ini_;
    Messages& messages_;
    LoaderSettings loaderSettings_;
    std::filesystem::path database_;
    std::filesystem::path start_;
    std::vector<std::string> found_;
    QLineEdit *minMag_, *maxMag_, *minDist_, *maxDist_, *minDepth_, *maxDepth_;
    QLineEdit *from_, *to_, *channel_, *maxFiles_;
    QCheckBox *z_, *n_, *e_, *subdirs_, *useDb_;
    QLabel* status_;
};

} // namespace tlx::app
