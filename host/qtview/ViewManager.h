#pragma once
// ViewManager: gives every toolkit form that shows a Qt window (an MDI child
// inside the host's MDI area for MDI-child forms, else a top-level window,
// application-modal while the form is shown modally), follows the toolkit's
// active form, cursor and window-update locks, turns window close buttons and
// window activation into the toolkit's user input, and installs the input
// pump through which modal forms wait for Qt events. One per Qt application.
#include <QObject>
#include <QPointer>
#include <string_view>
#include <unordered_map>

class QMdiArea;
class QMdiSubWindow;
class QWidget;
class TComponent;
class TForm;

namespace qtview {

class FormView;

class ViewManager : public QObject {
    Q_OBJECT
public:
    // mdi may be null (every form a top-level window); owner parents the
    // top-level form windows (may be null).
    ViewManager(QMdiArea* mdi, QWidget* owner);
    ~ViewManager() override;

    FormView* ViewOf(const TForm* form) const;
    // The window that holds the form (sub-window or top-level); null when none.
    QWidget* WindowOf(const TForm* form) const;
    // Makes modal forms wait for Qt input (the toolkit's nested loop runs Qt's events).
    void InstallInputPump();
    // Ends the waiting of modal forms (they give up with EInputExhausted): the
    // application is quitting from inside one.
    static void StopInputPump();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        QPointer<FormView> view;
        QPointer<QWidget> window;
        QMdiSubWindow* sub = nullptr;
    };
    void observe(TComponent& c, std::string_view property);
    void showForm(TForm& form);
    void hideForm(TForm& form);
    void placeForm(TForm& form);
    void followActiveForm();
    void followCursor();
    void followLock();
    void forget(const TForm* form);
    void userActivate(TForm* form);

    QPointer<QMdiArea> mdi_;
    QPointer<QWidget> owner_;
    int observerId_ = 0;
    bool activating_ = false;
    bool cursorSet_ = false;
    const TForm* lockedForm_ = nullptr;
    std::unordered_map<const TForm*, Entry> forms_;
    std::unordered_map<const QObject*, TForm*> windows_;
};

}  // namespace qtview
