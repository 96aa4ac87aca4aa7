// CTextView: the text panel above the seismogram (record details, event, distance read-out).
#pragma once

#include "views/eq_view_model.h"
#include "views/view_style.h"

#include <QWidget>

namespace tlx::views {

class CTextView : public QWidget {
    Q_OBJECT
  public:
    CTextView(const EqViewModel& model, QWidget* parent = nullptr);
    void setStyle(const ViewStyle& style);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    const EqViewModel& model_;
    ViewStyle style_;
};

} // namespace tlx::views
