#include "Input.h"

#include "Desktop.h"
#include "Form.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <vector>

namespace forms::input {

namespace {

// The window that takes the keys: the one the program showed last or gave the input back to.
// The desktop activates windows later than that, and a key pressed in between belongs here all
// the same, wherever the X server sent it.
QPointer<Form> g_input;
// Until the desktop has caught up, an activation it reports of another window is a late echo of
// an earlier state, not the user's choice; a desktop that never catches up is not waited for.
bool g_inputPending = false;
QElapsedTimer g_inputChosen;
constexpr int kActivationCatchUpMs = 1500;
// A window given the input before the X server had it on the screen takes the keyboard focus
// itself once it is there: left to the window manager, the focus came late, and to a window that
// might have been hidden again meanwhile, which left no window with the focus.
QPointer<Form> g_focusOnExposure;

// Windows shown modally, the innermost last: only that one takes input. The layer keeps the
// modality itself, as the toolkit's own drops the keys typed ahead into the window left behind.
std::vector<QPointer<Form>> g_modal;

Form* modalForm()
{
    std::erase_if(g_modal, [](const QPointer<Form>& form) { return !form || !form->isVisible(); });
    return g_modal.empty() ? nullptr : g_modal.back().data();
}

Form* formOfWindow(const QWindow* window)
{
    if (!window)
        return nullptr;
    for (Form* form : detail::loadedForms())
        if (form->windowHandle() == window)
            return form;
    for (const QPointer<Form>& form : detail::unloadingForms())
        if (form && form->windowHandle() == window)
            return form;
    return nullptr;
}

// The window of ours that an event was sent to, whether to the window itself or to a control.
Form* formOf(QObject* receiver)
{
    if (auto* widget = qobject_cast<QWidget*>(receiver))
        return qobject_cast<Form*>(widget->window());
    return formOfWindow(qobject_cast<QWindow*>(receiver));
}

// The window a key that reached `source` belongs to instead, or null when it is where it belongs.
Form* rerouteTarget(Form* source)
{
    Form* target = g_input;
    if (!source || !target || !target->isVisible() || source == target || QApplication::activePopupWidget())
        return nullptr;
    return target;
}

bool isHiddenFormWindow(unsigned long id)
{
    const auto hidden = [id](const Form* form) { return form && !form->isVisible() && form->internalWinId() == id; };
    return std::ranges::any_of(detail::loadedForms(), hidden)
        || std::ranges::any_of(detail::unloadingForms(), [&](const QPointer<Form>& form) { return hidden(form); });
}

// After the toolkit heard that the focus went nowhere, or to a window that is gone, it is told
// where the X server has it: on the window that should have the keys, the toolkit follows; on
// a window of ours that is gone, the window that should have them takes them. A focus that
// another program has stays there.
void settleFocus()
{
    Form* holder = modalForm();
    if (!holder)
        holder = g_input;
    if (!holder || !holder->isVisible())
        return;
    const unsigned long focus = desktop::keyboardFocus();
    if (focus == holder->winId()) {
        if (QApplication::activeWindow() != holder && !QApplication::activePopupWidget())
            QApplication::setActiveWindow(holder);
        return;
    }
    if (desktop::isGoneWindow(focus) || isHiddenFormWindow(focus))
        desktop::giveKeyboardFocus(holder);
}

void onFocusWindowChanged(QWindow* window)
{
    Form* form = formOfWindow(window);
    if (!form || !form->isVisible()) {
        // The toolkit says the focus went nowhere, or to a window that is gone: it may have heard
        // of an earlier state last. Once it is done, it is told what the X server says.
        QTimer::singleShot(0, qApp, &settleFocus);
        return;
    }
    if (form == g_input) {
        g_inputPending = false;
        return;
    }
    // The desktop's word on which window is active wins only where it is the user's: not over a
    // modal window, not when it is a late echo of an earlier state, not for a window gone.
    const bool echo = g_inputPending && g_inputChosen.elapsed() <= kActivationCatchUpMs;
    Form* holder = modalForm();
    if (!holder && echo)
        holder = g_input;
    if (!holder) {
        g_input = form; // the user went to another window
        return;
    }
    if (holder->isVisible()) {
        holder->raise();
        desktop::giveKeyboardFocus(holder);
    }
}

// The keyboard focus to `form` now: from the X server straight away, where there is one, which
// also spares the window manager's round trip; elsewhere by asking the desktop.
void focus(Form* form)
{
    if (!desktop::giveKeyboardFocus(form))
        form->activateWindow();
}

void noteExposure(QWindow* window)
{
    Form* form = g_focusOnExposure;
    if (form && window->isExposed() && form->windowHandle() == window) {
        g_focusOnExposure = nullptr;
        if (form->isVisible() && form == g_input)
            focus(form);
    }
}

// The window a key the X server sent to `window` is handed to instead, 0 for none: a key for a
// menu, open or closed by now, or for a window of ours that is hidden or gone by now, goes to
// the window in front. Which control takes it is settled when it is delivered: an open menu still gets its
// keys from there, and a window put in front meanwhile gets the rest.
unsigned long keyWindowFor(unsigned long window)
{
    Form* target = g_input;
    if (!target || !target->isVisible() || target->internalWinId() == window)
        return 0;
    const QList<QWindow*> windows = QGuiApplication::allWindows();
    const auto found = std::ranges::find_if(windows, [window](const QWindow* w) {
        return w->handle() && w->winId() == window;
    });
    const bool elsewhere = found == windows.end() ? desktop::isGoneWindow(window)
                                                  : !(*found)->isVisible() || (*found)->type() == Qt::Popup;
    return elsewhere ? target->internalWinId() : 0;
}

bool isKeyPreviewTarget(QObject* receiver)
{
    // Qt offers a key first to the focus widget and then to each parent in turn; only the first
    // offer counts as the key press.
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (!widget)
        return false;
    QWidget* focus = widget->window()->focusWidget();
    return focus ? widget == focus : qobject_cast<Form*>(widget) != nullptr;
}

bool isMouseInput(QEvent::Type type)
{
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease
        || type == QEvent::MouseButtonDblClick || type == QEvent::Wheel;
}

// Sees every input event before the control it is meant for, for what a forms runtime promises:
// a key goes to the window the program put in front, windows behind a modal one take no input,
// a window's menu shortcuts win over the standard keys that text fields claim, and a window
// with key preview hears each key first.
class InputDispatcher : public QObject {
public:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::Expose) {
            if (auto* window = qobject_cast<QWindow*>(receiver))
                noteExposure(window);
            return false;
        }
        if (isMouseInput(type))
            return isBlocked(formOf(receiver));
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
            return false;

        auto* key = static_cast<QKeyEvent*>(event);
        Form* source = formOf(receiver);
        if (Form* target = rerouteTarget(source)) {
            // The toolkit's own idea of the active window decides which shortcuts apply: it
            // follows at once too.
            if (QApplication::activeWindow() != target)
                QApplication::setActiveWindow(target);
            if (qobject_cast<QWindow*>(receiver)) {
                QCoreApplication::sendEvent(target->windowHandle(), key);
                return true;
            }
            source = target;
        }
        if (type == QEvent::ShortcutOverride) {
            // Left unaccepted, the override lets the shortcut map take the key.
            return source && source->ownsShortcut(key->keyCombination());
        }
        if (type == QEvent::KeyPress && source && source->keyPreview() && source->KeyDown
            && isKeyPreviewTarget(receiver)) {
            int keyCode = keyCodeOf(*key);
            int shift = shiftMaskOf(key->modifiers());
            source->KeyDown(keyCode, shift);
            return keyCode == 0;
        }
        return false;
    }
};

} // namespace

void install()
{
    static InputDispatcher* dispatcher = nullptr;
    if (!dispatcher && qApp) {
        dispatcher = new InputDispatcher;
        dispatcher->setParent(qApp);
        qApp->installEventFilter(dispatcher);
        QObject::connect(qApp, &QGuiApplication::focusWindowChanged, dispatcher, &onFocusWindowChanged);
        desktop::watchKeys(&keyWindowFor);
    }
}

void give(Form* form)
{
    g_input = form;
    // Even a window that seems to have the focus may be losing it to a change still on its way.
    g_inputPending = true;
    g_inputChosen.start();
    if (form->windowHandle() && form->windowHandle()->isExposed())
        focus(form);
    else
        g_focusOnExposure = form;
    if (QApplication::activeWindow() != form && !QApplication::activePopupWidget())
        QApplication::setActiveWindow(form);
}

void handOn(Form* leaving)
{
    if (g_input != leaving && !leaving->isActiveWindow())
        return;
    // Back to the window the user came from, as a dialog's owner gets it back.
    const std::vector<Form*>& loaded = detail::loadedForms();
    for (auto it = loaded.rbegin(); it != loaded.rend(); ++it) {
        if (*it != leaving && (*it)->isVisible()) {
            give(*it);
            return;
        }
    }
    g_input = nullptr;
}

Form* holder() { return g_input; }

void beginModal(Form* form) { g_modal.emplace_back(form); }

void endModal(Form* form) { std::erase(g_modal, form); }

bool isBlocked(const Form* form)
{
    const Form* modal = modalForm();
    return form && modal && form != modal;
}

} // namespace forms::input
