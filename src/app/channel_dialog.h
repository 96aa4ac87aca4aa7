// The channel choice for a MINISEED or SEED data set named on the command line: one to three of
// its channels open together in one event window.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QListWidget;

namespace tlx::app {

class CChannelChoice : public QDialog {
  public:
    CChannelChoice(const std::string& file, const std::vector<std::string>& channels,
                   QWidget* parent = nullptr);
    // The chosen channel indexes, at most three, in list order.
    std::vector<int> chosen() const;

  private:
    QListWidget* list_;
};

} // namespace tlx::app
