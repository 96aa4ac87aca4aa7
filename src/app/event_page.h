// The Event page of the "Event File Information" sheet: the window's earthquakes and comment.
#pragma once

#include "core/messages.h"
#include "document/record_info_edit.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tlx::app {

class CEventPage : public QWidget {
  public:
    CEventPage(EventPageLogic logic, Messages& messages, QWidget* parent = nullptr);
    // The checks made when the page is left; false (after the message) keeps it open.
    bool leave();
    EventPageValues values() const;

  private:
    QLineEdit* field(const char* name);
    void pull();          // widgets -> form
    void push();          // form -> widgets
    void updateMarks();   // "ERROR" and display forms beside the fields
    void updateButtons(); // Make, New, Add, Replace
    void focus(InfoField field);
    void act(void (CEventPage::*step)());
    void newEntry();
    void deleteEntry();
    void make();
    void add();
    void replace();

    EventPageLogic logic_;
    Messages& messages_;
    QLineEdit *comment_, *time_, *ms_, *mb_, *mw_, *ml_, *md_, *other_, *latitude_, *longitude_, *depth_,
        *agency_;
    QLabel *latShown_, *lonShown_, *depthMark_;
    QLabel* magMarks_[6];
    QComboBox *eventType_, *quality_, *selector_;
    QPushButton *new_, *delete_, *make_, *add_, *replace_;
    QCheckBox* modifyComment_;
    QPlainTextEdit* report_;
    bool pushing_ = false;
};

} // namespace tlx::app
