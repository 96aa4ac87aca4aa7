// The bottom line of the windows that compute on a worker: a status text, and while the work
// runs, its progress and a Cancel button; the window's poll runs on a timer meanwhile.
#pragma once

#include <QTimer>
#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tlx::app {

class JobStatusBar : public QWidget {
  public:
    explicit JobStatusBar(QWidget* parent = nullptr);

    // Shows the progress at 0 with Cancel and calls `poll` every 20 ms until finish().
    void start(std::function<void()> poll, const QString& progressFormat = "%p%");
    void setPercent(int percent, const QString& progressFormat = "%p%");
    // Stops the polling and hides the progress and Cancel.
    void finish();

    void setText(const QString& text);
    QString text() const;
    QProgressBar* progressBar() { return progress_; }
    QPushButton* cancelButton() { return cancel_; }
    // Cancel pressed.
    std::function<void()> onCancel;

  private:
    QLabel* status_;
    QProgressBar* progress_;
    QPushButton* cancel_;
    QTimer poll_;
    std::function<void()> pollJob_;
};

} // namespace tlx::app
