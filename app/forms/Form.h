#pragma once
// Windows as the event procedures expect them: one application-wide instance per window class,
// created and loaded on first reference, shown modally or not, hidden, unloaded. The program
// ends when its last loaded window is unloaded.
#include "Event.h"
#include "Twips.h"

#include <QKeySequence>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <vector>

class QAction;
class QEventLoop;
class QMenu;
class QMenuBar;
class QPushButton;

namespace forms {

class Form;

namespace detail {
void registerLoaded(Form* form, Form** slot);
void unloadAllForms();
const std::vector<Form*>& loadedForms();
// Unloaded windows not deleted yet.
const std::vector<QPointer<Form>>& unloadingForms();
template <typename F>
Form*& instanceSlot()
{
    static Form* slot = nullptr;
    return slot;
}
} // namespace detail

// The application-wide instance of a window class; referring to it loads it when needed.
template <typename F>
F& instance()
{
    Form*& slot = detail::instanceSlot<F>();
    if (!slot) {
        auto* form = new F();
        detail::registerLoaded(form, &slot);
        form->raiseLoad();
    }
    return static_cast<F&>(*slot);
}

template <typename F>
bool isLoaded()
{
    return detail::instanceSlot<F>() != nullptr;
}

enum class Modality { Modeless, Modal };
enum class Border { FixedSingle, FixedDialog, None };
enum class StartPosition { CenterScreen, CenterOwner };

class Form : public QWidget {
    Q_OBJECT

public:
    ~Form() override;

    void Show(Modality modality = Modality::Modeless);
    void Hide();
    void Unload();
    bool isUnloaded() const { return slot_ == nullptr; }

    QString Caption() const { return windowTitle(); }
    void setCaption(const QString& caption) { setWindowTitle(caption); }

    // The area below the menu bar, in which the controls stand.
    QWidget* client() const { return client_; }
    QMenuBar* menuBar() const { return menuBar_; }

    // Raised for a key pressed anywhere in the window before the focused control sees it, when
    // key preview is on. Setting KeyCode to 0 takes the key away from the control.
    Event<int&, int&> KeyDown;
    // A click on the window's background.
    Event<> Click;

    bool ownsShortcut(QKeyCombination key) const;
    bool keyPreview() const { return keyPreview_; }

    void raiseLoad();

protected:
    Form(int clientWidthTwips, int clientHeightTwips, Border border, StartPosition start);

    // Raised by Load, after the controls are built and before the window is first shown.
    virtual void Form_Load() {}

    QMenu* addMenu(const QString& caption);
    QAction* addMenuEntry(QMenu* menu, const QString& caption, std::function<void()> click,
                          const QKeySequence& shortcut = {});
    void addMenuSeparator(QMenu* menu);

    void setKeyPreview(bool on) { keyPreview_ = on; }
    void setDefaultButton(QPushButton* button) { defaultButton_ = button; }
    void setCancelButton(QPushButton* button) { cancelButton_ = button; }

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    friend void detail::registerLoaded(Form*, Form**);
    void placeBeforeFirstShow();
    void endModalWait();

    QWidget* client_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QSize clientSize_;
    Border border_;
    StartPosition start_;
    bool placed_ = false;
    bool keyPreview_ = false;
    QPushButton* defaultButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QEventLoop* modalLoop_ = nullptr;
    Form** slot_ = nullptr;
    std::vector<QKeyCombination> shortcuts_;
};

// The key code and shift mask a key-down procedure receives.
int keyCodeOf(const QKeyEvent& event);
int shiftMaskOf(Qt::KeyboardModifiers modifiers);

namespace testing {
// Deletes every window at once, loaded or waiting for deletion; for tests and the program's exit.
void destroyAllForms();
int loadedFormCount();
// Deletes at once the unloaded windows still waiting to leave the screen.
void deleteUnloadedForms();
} // namespace testing

} // namespace forms
