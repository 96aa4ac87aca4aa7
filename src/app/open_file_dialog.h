// "Open File": the program's own file browser. Lists the event files of a folder with their
// one-line summaries (filled on a worker, cached between openings), sorts them, opens one to three
// into an event window, enters data sets, deletes and hands over to the file search.
#pragma once

#include "browser/browser_actions.h"
#include "browser/directory_listing.h"
#include "browser/file_entry.h"
#include "browser/summary_cache.h"

#include <QDialog>
#include <QTimer>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace tlx::app {

struct AppContext;
class CMainFrame;
class EventWindow;

class COpenFileDialog : public QDialog {
    Q_OBJECT
  public:
    // With `addTo` the dialog lists only files that fit that window and adds the chosen ones.
    COpenFileDialog(AppContext& ctx, EventWindow* addTo, QWidget* parent = nullptr);
    ~COpenFileDialog() override;

    // The windows to open (or, when adding, the files to add) once the dialog was accepted.
    const std::vector<browser::OpenGroup>& chosen() const { return chosen_; }

    void listDirectory(const std::filesystem::path& dir);
    bool listingDone() const { return !listing_; }
    // Files whose headers the last listing read (the others came from the cache).
    int headerReads() const { return headerReads_; }
    QTreeWidget* list() const { return list_; }
    const std::vector<browser::FileEntry>& entries() const { return entries_; }

  private:
    enum class ListMode { Directory, Search, DataSet };
    void startListing(const browser::ListingTarget& target);
    void poll();
    bool fits(const browser::FileEntry& e) const;
    void rebuild();
    void sortBy(int column);
    std::vector<const browser::FileEntry*> selected() const;
    // The selected files' paths, taken before any question: the rows may change meanwhile.
    // With `mustHave`, none selected shows "No File(s) Selected".
    std::vector<std::string> selectedPaths(bool mustHave) const;
    void open();
    void chooseDirectory();
    void search();
    void remove();
    void mail();
    void convert();
    void addReport();
    void nameEntered();
    void showCount();

    AppContext& ctx_;
    EventWindow* addTo_;
    std::filesystem::path cacheFile_;
    browser::SummaryCache cache_;
    std::unique_ptr<browser::DirectoryListing> listing_;
    browser::ListingTarget target_;
    QTimer poll_;
    int headerReads_ = 0;
    ListMode mode_ = ListMode::Directory;
    std::vector<browser::FileEntry> entries_;
    browser::SortOrder order_;
    std::vector<browser::OpenGroup> chosen_;
    QLineEdit* name_;
    QLabel* directory_;
    QLabel* count_;
    QTreeWidget* list_;
    QPushButton* delete_;
};

// Ctrl+O and the window's Add: shows the dialog and opens (or adds) what was chosen.
void showOpenFileDialog(CMainFrame& frame, AppContext& ctx, EventWindow* addTo);

} // namespace tlx::app
