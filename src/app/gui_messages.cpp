#include "app/gui_messages.h"

#include "core/debug_log.h"

#include <QMessageBox>

namespace tlx::app {

void GuiMessages::show(MessageKind kind, const std::string& text) {
    if (suppressed_) {
        logLine(text);
        return;
    }
    const QString q = QString::fromStdString(text);
    switch (kind) {
    case MessageKind::Error:
        QMessageBox::critical(parent_, "Tellurix", q);
        break;
    case MessageKind::Warning:
        QMessageBox::warning(parent_, "Tellurix", q);
        break;
    default:
        QMessageBox::information(parent_, "Tellurix", q);
        break;
    }
}

Answer GuiMessages::ask(const std::string& text, Buttons buttons) {
    if (suppressed_) {
        logLine(text);
        return buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
    }
    QMessageBox::StandardButtons b = QMessageBox::Yes | QMessageBox::No;
    if (buttons == Buttons::YesNoCancel) b |= QMessageBox::Cancel;
    if (buttons == Buttons::OkCancel) b = QMessageBox::Ok | QMessageBox::Cancel;
    if (buttons == Buttons::Ok) b = QMessageBox::Ok;
    switch (QMessageBox::question(parent_, "Tellurix", QString::fromStdString(text), b)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Ok:
        return Answer::Ok;
    default:
        return Answer::Cancel;
    }
}

} // namespace tlx::app
