#include "views/text_view.h"

#include "views/scene_painter.h"

#include <QFontMetrics>
#include <QPainter>

namespace tlx::views {

CTextView::CTextView(const EqViewModel& model, QWidget* parent) : QWidget(parent), model_(model) {}

void CTextView::setStyle(const ViewStyle& style) {
    style_ = style;
    updateGeometry();
    update();
}

QSize CTextView::sizeHint() const {
    const QFontMetrics fm(makeFont(style_.textFont));
    return {400, fm.height() * 7 + 6};
}

void CTextView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), toQColor(style_.colors.textBackground));
    const QFont font = makeFont(style_.textFont);
    p.setFont(font);
    const QFontMetrics fm(font);
    const TextPanel panel = buildTextPanel(model_, true);
    p.setPen(toQColor(style_.colors.label));
    const QString file = QString::fromStdString(panel.fileText);
    p.drawText(width() - 20 - fm.horizontalAdvance(file), 3 + fm.ascent(), file);
    int y = 3 + fm.height();
    for (const auto& line : panel.lines) {
        int x = 4;
        for (const TextPiece& piece : line) {
            const QString q = QString::fromStdString(piece.text);
            p.setPen(toQColor(piece.label ? style_.colors.label : style_.colors.text));
            p.drawText(x, y + fm.ascent(), q);
            x += fm.horizontalAdvance(q);
        }
        y += fm.height();
    }
}

} // namespace tlx::views
