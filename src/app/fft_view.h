// CFFTView: paints the spectrum window from its layout model (screen, picture and printer alike)
// and shows the cursor read-out.
#pragma once

#include "views/spectrum_view_model.h"
#include "views/view_style.h"

#include <QWidget>

#include <functional>

class QPainter;

namespace tlx::app {

class CFFTView : public QWidget {
    Q_OBJECT
  public:
    CFFTView(const views::ViewStyle& style, QWidget* parent = nullptr);
    views::SpectrumViewModel& model() { return model_; }
    // Draws the spectrum into `size` pixels; `print` uses the print background.
    void paint(QPainter& painter, QSize size, bool print = false);
    QImage picture(int width, int height);
    // The context menu of the window.
    std::function<void(QPoint)> onContextMenu;
    // Called after every paint (tests and the first-paint figure).
    std::function<void()> onPainted;

  protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void contextMenuEvent(QContextMenuEvent*) override;

  private:
    const views::ViewStyle& style_;
    views::SpectrumViewModel model_;
    QPoint cursor_{-1, -1};
};

} // namespace tlx::app
