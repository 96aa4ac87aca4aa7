// CEqView: the seismogram pane. It keeps the Qt-free model up to date with the widget's size and
// the user's keys and mouse; paintEvent only draws the model's scene.
#pragma once

#include "views/eq_view_model.h"
#include "views/scene_painter.h"
#include "views/view_style.h"

#include <QImage>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

class QPrinter;

namespace tlx::views {

struct PrintSettings {
    int top = 0, bottom = 0, left = 0, right = 0; // units of the 1024 x 768 page
    bool color = false;
    bool landscape = true;
};

class CEqView : public QWidget {
    Q_OBJECT
  public:
    explicit CEqView(QWidget* parent = nullptr);

    EqViewModel& model() { return model_; }
    void setStyle(const ViewStyle& style);
    const ViewStyle& viewStyle() const { return style_; }

    // Re-lays out and redraws after any change of the model; emits the read-outs.
    void refresh();
    QStringList statusPanes() const { return panes_; }

    // The picture of GIF export: text lines above the seismogram, markers and read-outs.
    QImage picture(int width, int height);
    // The 1024 x 768 page with the print margins, drawn into `printer`.
    bool print(QPrinter& printer, const PrintSettings& settings);
    QImage grabSeismogram();

    // Record selection goes through the owner (the event document) when these are set.
    std::function<void(int)> onSelectRecord; // a click in another record's strip
    std::function<void(int)> onShowAlone;    // -1: show all
    // While the caption is hidden a left-button drag away from the markers moves the window.
    std::function<bool()> dragMovesWindow;
    std::function<void(QPoint delta)> onWindowDrag;
    // A double right-click: Title.
    std::function<void()> onTitleToggle;

  Q_SIGNALS:
    void readoutsChanged();
    void statusChanged(const QStringList& panes);

  protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void keyReleaseEvent(QKeyEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void wheelEvent(QWheelEvent*) override;

  private:
    void layoutNow();
    void updatePanes(int x, int y);

    EqViewModel model_;
    ViewStyle style_;
    QStringList panes_;
    int dragging_ = -1;
    bool selecting_ = false;
    int selectStart_ = 0;
    QPoint lastMouse_{-1, -1};
    std::optional<QPoint> windowDrag_; // global position of the last drag step
};

} // namespace tlx::views
