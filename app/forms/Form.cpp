#include "Form.h"

#include "Desktop.h"
#include "Input.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <map>

namespace forms {

namespace {

std::vector<Form*> g_loaded;
// Unloaded windows whose deletion is still pending; deleted outright if the program ends first.
std::vector<QPointer<Form>> g_unloading;
// Set while every window is torn down at once, which is no user's last window closing.
bool g_tearingDown = false;
// How long an unloaded window lives on, hidden, and how many may (see Unload).
constexpr int kLingerMs = 1500;
constexpr std::size_t kLingering = 2;

Qt::WindowFlags flagsFor(Border border)
{
    switch (border) {
    case Border::FixedSingle:
        return Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
    case Border::FixedDialog:
        return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint;
    case Border::None:
        return Qt::Window | Qt::FramelessWindowHint;
    }
    return Qt::Window;
}

} // namespace

// ---- Registry ---------------------------------------------------------------------------

namespace detail {

void registerLoaded(Form* form, Form** slot)
{
    *slot = form;
    form->slot_ = slot;
    g_loaded.push_back(form);
}

const std::vector<Form*>& loadedForms() { return g_loaded; }

const std::vector<QPointer<Form>>& unloadingForms() { return g_unloading; }

void unloadAllForms()
{
    // Copy: each Unload takes its window off the list.
    const std::vector<Form*> loaded = g_loaded;
    for (Form* form : loaded)
        form->Unload();
}

} // namespace detail

namespace testing {

void deleteUnloadedForms()
{
    for (const QPointer<Form>& form : g_unloading)
        delete form.data();
    g_unloading.clear();
}

void destroyAllForms()
{
    g_tearingDown = true;
    detail::unloadAllForms();
    g_tearingDown = false;
    deleteUnloadedForms();
}

int loadedFormCount() { return static_cast<int>(g_loaded.size()); }

} // namespace testing

// ---- Form -------------------------------------------------------------------------------

Form::Form(int clientWidthTwips, int clientHeightTwips, Border border, StartPosition start)
    : QWidget(nullptr, flagsFor(border)), border_(border), start_(start)
{
    input::install();
    clientSize_ = twipsSize(clientWidthTwips, clientHeightTwips);
    // The window takes the focus itself, once shown (see takeInput), rather than when the
    // window manager would give it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    client_ = new QWidget(this);
    // A click on the bare client area is not taken there and so reaches the window's Click.
    client_->setGeometry(QRect(QPoint(0, 0), clientSize_));
    setFixedSize(clientSize_);
}

Form::~Form()
{
    if (slot_) {
        *slot_ = nullptr;
        std::erase(g_loaded, this);
    }
}

QMenu* Form::addMenu(const QString& caption)
{
    if (!menuBar_) {
        menuBar_ = new QMenuBar(this);
        menuBar_->setNativeMenuBar(false);
    }
    QMenu* menu = menuBar_->addMenu(caption);
    // The client area keeps its size; the window grows by the bar, which only knows its
    // height once it holds a menu.
    const int barHeight = menuBar_->sizeHint().height();
    menuBar_->setGeometry(0, 0, clientSize_.width(), barHeight);
    client_->move(0, barHeight);
    setFixedSize(clientSize_.width(), clientSize_.height() + barHeight);
    return menu;
}

QAction* Form::addMenuEntry(QMenu* menu, const QString& caption, std::function<void()> click,
                            const QKeySequence& shortcut)
{
    QAction* action = menu->addAction(caption);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        shortcuts_.push_back(shortcut[0]);
    }
    QObject::connect(action, &QAction::triggered, this, [click = std::move(click)] { raiseEvent(click); });
    return action;
}

void Form::addMenuSeparator(QMenu* menu) { menu->addSeparator(); }

bool Form::ownsShortcut(QKeyCombination key) const
{
    return std::find(shortcuts_.begin(), shortcuts_.end(), key) != shortcuts_.end();
}

void Form::raiseLoad()
{
    raiseEvent([this] { Form_Load(); });
}

void Form::placeBeforeFirstShow()
{
    if (placed_)
        return;
    placed_ = true;
    QRect area;
    Form* owner = input::holder();
    if (start_ == StartPosition::CenterOwner && owner && owner != this && owner->isVisible())
        area = owner->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (!area.isValid())
        return;
    // Centred by the frame the desktop will put round the window. The native window is made
    // first, so that a move places the window's inside, wherever the frame turns out to be.
    winId();
    static std::map<Border, QMargins> knownFrames;
    auto known = knownFrames.find(border_);
    if (known == knownFrames.end() && border_ != Border::None)
        known = knownFrames.emplace(border_, desktop::frameExtents(this)).first;
    const QMargins frame = known == knownFrames.end() ? QMargins() : known->second;
    QRect outer(QPoint(0, 0), size().grownBy(frame));
    outer.moveCenter(area.center());
    move(outer.topLeft() + QPoint(frame.left(), frame.top()));
}

void Form::Show(Modality modality)
{
    if (modality == Modality::Modeless) {
        if (!isVisible()) {
            placeBeforeFirstShow();
            show();
        }
        raise();
        input::give(this);
        return;
    }

    if (isVisible())
        throw RuntimeError(ErrorCode::AlreadyShown);
    placeBeforeFirstShow();
    input::beginModal(this);
    show();
    raise();
    input::give(this);

    // The window may be unloaded, and then deleted, while we wait; nothing below may touch it.
    QPointer<Form> self(this);
    QEventLoop loop;
    modalLoop_ = &loop;
    loop.exec(QEventLoop::DialogExec);
    if (self && self->modalLoop_ == &loop)
        self->modalLoop_ = nullptr;
}

void Form::endModalWait()
{
    if (modalLoop_) {
        // The loop ends once the event procedure running now has returned.
        modalLoop_->quit();
        modalLoop_ = nullptr;
    }
}

void Form::Hide()
{
    input::endModal(this);
    // The input moves on before the window goes, so that no key finds the focus nowhere.
    input::handOn(this);
    hide();
    endModalWait();
}

void Form::Unload()
{
    if (!slot_)
        return;
    *slot_ = nullptr;
    slot_ = nullptr;
    std::erase(g_loaded, this);
    Hide();
    // Never delete a window under its own running event procedure, nor at once: keys typed while
    // it still had the focus may be queued for it, and the toolkit drops a key whose window has
    // gone, where one that finds it hidden is passed on (see the input's dispatcher). A key that
    // comes later still is passed on before the toolkit looks for its window (the input's watch).
    // Each lingering window holds its picture in memory, so only the last two linger.
    std::erase_if(g_unloading, [](const QPointer<Form>& form) { return form.isNull(); });
    g_unloading.emplace_back(this);
    for (std::size_t i = 0; i + kLingering < g_unloading.size(); ++i)
        g_unloading[i]->deleteLater();
    if (windowHandle()) {
        desktop::noteWindowGone(internalWinId());
        QTimer::singleShot(kLingerMs, this, &QObject::deleteLater);
    } else {
        deleteLater();
    }
    if (g_loaded.empty() && !hasEnded() && !g_tearingDown)
        End();
}

void Form::closeEvent(QCloseEvent* event)
{
    // Closing from the title bar unloads the window; the runtime does that itself, with no
    // procedure of the window asked. A window behind a modal one takes no input, this neither.
    event->ignore();
    if (!input::isBlocked(this))
        raiseEvent([this] { Unload(); });
}

void Form::keyPressEvent(QKeyEvent* event)
{
    // The keypad's Enter is Enter too, though the toolkit marks it with a modifier of its own.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && modifiers == Qt::NoModifier && defaultButton_ && defaultButton_->isEnabled()) {
        defaultButton_->click();
        return;
    }
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && cancelButton_
        && cancelButton_->isEnabled()) {
        cancelButton_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Form::mousePressEvent(QMouseEvent* event) { event->accept(); }

void Form::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Click();
}

// ---- Keys -------------------------------------------------------------------------------

int shiftMaskOf(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
        | (modifiers & Qt::AltModifier ? 4 : 0);
}

int keyCodeOf(const QKeyEvent& event)
{
    const int key = event.key();
    // Letters and digits share their codes with the runtime's key codes.
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)
        || key == Qt::Key_Space)
        return key;
    switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 9;
    case Qt::Key_Return: case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return 27;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: break;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 112 + (key - Qt::Key_F1);
    // Anything else has no code of its own; 0 is never a real key.
    return 0;
}

} // namespace forms
