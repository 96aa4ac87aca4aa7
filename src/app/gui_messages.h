// Messages shown as message boxes; in the unattended modes they are only written to the log.
#pragma once

#include "core/messages.h"

class QWidget;

namespace tlx::app {

class GuiMessages : public Messages {
  public:
    void setParent(QWidget* parent) { parent_ = parent; }
    void setSuppressed(bool on) { suppressed_ = on; }
    bool suppressed() const { return suppressed_; }
    void show(MessageKind kind, const std::string& text) override;
    Answer ask(const std::string& text, Buttons buttons) override;

  private:
    QWidget* parent_ = nullptr;
    bool suppressed_ = false;
};

} // namespace tlx::app
