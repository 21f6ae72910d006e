#include "qtview/ProgressNote.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace qtview {

ProgressNote::ProgressNote(QWidget* over)
    : QFrame(over, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      label_(new QLabel(this)),
      bar_(new QProgressBar(this)) {
    setObjectName("ProgressNote");
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    auto* box = new QVBoxLayout(this);
    box->addWidget(label_);
    box->addWidget(bar_);
    bar_->setRange(0, 0);  // busy: the length of the wait is unknown
    bar_->setTextVisible(false);
    setMinimumWidth(320);
}

void ProgressNote::ShowNote(int kind, const QString& text) {
    kind_ = kind;
    // Kinds as the screens use them: 1 writing or calculating, 6 reading, 0 opening.
    QString fallback = kind == 1 ? QStringLiteral("Processando...")
                       : kind == 6 ? QStringLiteral("Recebendo dados do servidor...")
                                   : QStringLiteral("Aguarde...");
    label_->setText(text.isEmpty() ? fallback : text);
    adjustSize();
    if (QWidget* p = parentWidget()) {
        QRect r = p->window()->geometry();
        move(r.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

QString ProgressNote::Text() const { return label_->text(); }

}  // namespace qtview
