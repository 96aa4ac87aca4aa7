#include "app/replay_status_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace tlx::app {

CReplayStat::CReplayStat(ReplaySent sent, QWidget* parent, int polls, int pollMs)
    : QDialog(parent), sent_(std::move(sent)), pollsLeft_(polls) {
    setWindowTitle("Replay Status");
    auto* path = new QLabel(QString::fromStdString(sent_.expectedFile.string()));
    path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Waiting for file:"));
    layout->addWidget(path);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &CReplayStat::reject);
    connect(&timer_, &QTimer::timeout, this, &CReplayStat::poll);
    timer_.start(pollMs);
}

void CReplayStat::poll() {
    if (auto arrived = checkReplayFile(sent_.expectedFile)) {
        finish(*arrived);
        return;
    }
    if (--pollsLeft_ > 0) return;
    std::error_code ec;
    std::filesystem::remove(sent_.requestFile, ec);
    finish({ReplayOutcome::TimedOut, "Timeout Error"});
}

void CReplayStat::finish(ReplayWait result) {
    timer_.stop();
    result_ = std::move(result);
    if (result_.outcome == ReplayOutcome::Arrived)
        accept();
    else
        QDialog::reject();
}

void CReplayStat::reject() {
    std::error_code ec;
    std::filesystem::remove(sent_.requestFile, ec);
    finish({ReplayOutcome::Cancelled, ""});
}

} // namespace tlx::app
