#include "qtview/Pictures.h"

#include "core/Text.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

#include <QBitmap>
#include <QFileInfo>
#include <QPainter>

namespace qtview {

namespace {

const QColor kOlive(128, 128, 0);

enum class Mark { Check, Cross, Dash, Bang, Dot };

Mark markFor(const std::string& name) {
    // Names as the screens give them: imgOk, imgNaoOk, imgDesconsid, imgComErro, imgSemErro.
    std::string n = text::Lower(name);
    if (n.find("naook") != std::string::npos || n.find("nok") != std::string::npos) return Mark::Cross;
    if (n.find("desconsid") != std::string::npos) return Mark::Dash;
    if (n.find("comerro") != std::string::npos) return Mark::Bang;
    if (n.find("semerro") != std::string::npos) return Mark::Dot;
    return Mark::Check;
}

// A picture drawn in code, on a transparent ground so that its smoothed
// edges blend with the cell (an olive ground would leave an olive fringe).
QPixmap drawn(const std::string& name, int w, int h) {
    QPixmap pm(w, h);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const int s = std::min(w, h);
    const QRectF box((w - s) / 2.0 + 2, (h - s) / 2.0 + 2, s - 4, s - 4);
    switch (markFor(name)) {
        case Mark::Check:
            p.setPen(QPen(QColor(0, 128, 0), 2.2));
            p.drawPolyline(QPolygonF({box.topLeft() + QPointF(0, box.height() * 0.55),
                                      box.topLeft() + QPointF(box.width() * 0.4, box.height()),
                                      box.topRight()}));
            break;
        case Mark::Cross:
            p.setPen(QPen(QColor(200, 0, 0), 2.2));
            p.drawLine(box.topLeft(), box.bottomRight());
            p.drawLine(box.topRight(), box.bottomLeft());
            break;
        case Mark::Dash:
            p.setPen(QPen(QColor(90, 90, 90), 2.2));
            p.drawLine(QPointF(box.left(), box.center().y()), QPointF(box.right(), box.center().y()));
            break;
        case Mark::Bang:
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(200, 0, 0));
            p.drawEllipse(box);
            p.setPen(QPen(Qt::white, 2));
            p.drawLine(QPointF(box.center().x(), box.top() + 2), QPointF(box.center().x(), box.bottom() - 5));
            p.drawPoint(QPointF(box.center().x(), box.bottom() - 2));
            break;
        case Mark::Dot:
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0, 150, 0));
            p.drawEllipse(box.adjusted(2, 2, -2, -2));
            break;
    }
    p.end();
    return pm;
}

}  // namespace

QIcon GlyphIcon(const std::string& glyph) {
    if (glyph.empty()) return {};
    const QString path = QStringLiteral(":/qtview/icons/") + QString::fromStdString(glyph) + QStringLiteral(".png");
    if (!QFileInfo::exists(path)) return {};
    return QIcon(path);
}

QPixmap WithOliveTransparency(const QPixmap& picture) {
    if (picture.isNull()) return picture;
    QPixmap out = picture;
    out.setMask(picture.createMaskFromColor(kOlive, Qt::MaskInColor));
    return out;
}

QPixmap PictureOf(const TImage& image) {
    QPixmap pm;
    if (!image.Picture.empty()) {
        QString file = QString::fromStdString(image.Picture);
        if (QFileInfo::exists(file)) pm.load(file);
    }
    if (pm.isNull()) {
        if (image.Width() <= 0 || image.Height() <= 0) return {};
        pm = drawn(image.Picture.empty() ? image.Name() : image.Picture, image.Width(), image.Height());
    }
    return WithOliveTransparency(pm);
}

QPixmap PictureByName(const TForm& form, const std::string& name) {
    if (name.empty()) return {};
    auto* img = form.Find<TImage>(name);
    if (!img) return {};
    QPixmap pm = PictureOf(*img);
    if (pm.isNull()) pm = WithOliveTransparency(drawn(name, 16, 16));
    return pm;
}

}  // namespace qtview
