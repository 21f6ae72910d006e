#pragma once
// The small modeless note shown while the screen waits for the server: a
// text and a moving bar. It never takes input; showing it paints it at once,
// since the thread is about to block.
#include <QFrame>

class QLabel;
class QProgressBar;

namespace qtview {

class ProgressNote : public QFrame {
    Q_OBJECT
public:
    explicit ProgressNote(QWidget* over);
    void ShowNote(int kind, const QString& text);
    QString Text() const;
    int Kind() const { return kind_; }

private:
    QLabel* label_;
    QProgressBar* bar_;
    int kind_ = 0;
};

}  // namespace qtview
