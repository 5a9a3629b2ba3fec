#pragma once
// The controls the windows are made of, each with the properties and events that the
// windows' procedures use and nothing more.
#include "Event.h"
#include "Twips.h"

#include <QFrame>
#include <QMenu>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

#include <vector>

namespace forms {

// Arial at a size in points, bold or not: every control here is set in Arial.
QFont arial(double points, bool bold, bool italic = false, bool underline = false);

// An indexed set of controls of one kind. An index that is no element is a run-time error.
template <typename T>
class ControlArray {
public:
    void add(T* control) { items_.push_back(control); }
    T& operator()(int index) const
    {
        if (index < 0 || index >= count())
            throw RuntimeError(ErrorCode::SubscriptOutOfRange);
        return *items_[static_cast<std::size_t>(index)];
    }
    int count() const { return static_cast<int>(items_.size()); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<T*> items_;
};

// A one-line text field.
class TextBox : public QLineEdit {
public:
    TextBox(QWidget* parent, const QRect& rect, const QFont& font);

    QString Text() const { return text(); }
    // Raises Change before it returns when the text changes; a write of the same text raises
    // nothing.
    void setText(const QString& text) { QLineEdit::setText(text); }
    int SelStart() const;
    void setSelStart(int start);
    int SelLength() const;
    void setSelLength(int length);
    void SetFocus();
    // Counted in UTF-16 units. No field keeps half of a two-unit character: a one-unit field
    // refuses it whole, a longer one keeps what fits whole of a paste cut at its limit.
    void setMaxLength(int units);
    // Always as written: "left" stays left when the text runs right to left.
    void setAlignment(Qt::Alignment alignment);

    Event<> Change;
    // After the field's own handling of the click, so a selection made here stands.
    Event<> Click;

    // The field's own menu of edits, as the right mouse button opens it.
    QMenu* contextMenu();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

// A multi-line text field with a vertical scroll bar that wraps long lines. Its text is exactly
// what it holds, with its own line breaks as CR LF.
class MultiLineTextBox : public QPlainTextEdit {
public:
    MultiLineTextBox(QWidget* parent, const QRect& rect, const QFont& font);

    QString Text() const;
    void setText(const QString& text);
    void SetFocus();

    // The field's own menu of edits, as the right mouse button opens it.
    QMenu* contextMenu();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

// A label draws its caption itself: cheaper than a QLabel by the hundred, and it gives the
// runtime's rules exactly: top-aligned, wrapped at words, new lines at CR LF, clipped at its box.
class Label : public QWidget {
public:
    Label(QWidget* parent, const QRect& rect, const QFont& font, const QString& caption = {});

    QString Caption() const { return caption_; }
    void setCaption(const QString& caption);

    // On: a single "&" underlines the next character and "&&" shows one "&". Off: literal text.
    void setAccessKeyMarking(bool on);
    void setAlignment(Qt::Alignment horizontal);
    // The label takes the size of its text, keeping its top-left corner.
    void setAutoSize(bool on);
    void setForeColor(const QColor& color);
    // No colour: transparent, the parent shows through.
    void setBackColor(const QColor& color);

    Event<> Click;
    Event<> MouseMove;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    int textFlags() const;
    QString displayText() const;
    void fitToText();

    QString caption_;
    bool marking_ = true;
    bool autoSize_ = false;
    Qt::Alignment alignment_ = Qt::AlignLeft;
    QColor foreColor_;
    QColor backColor_;
};

class CommandButton : public QPushButton {
public:
    CommandButton(QWidget* parent, const QRect& rect, const QFont& font, const QString& caption);

    // Setting it to true presses the button: Click has run when the write returns.
    void setValue(bool pressed);

    Event<> Click;
    Event<int&, int&> KeyDown;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// A frame that only draws its border around the controls placed on it.
class Frame : public QFrame {
public:
    Frame(QWidget* parent, const QRect& rect);
};

// A rectangle drawn on the window. It takes no input: a click on it is a click on the window.
class Shape : public QWidget {
public:
    Shape(QWidget* parent, const QRect& rect, int borderPixels, const QColor& border,
          const QColor& fill = {});

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int borderPixels_;
    QColor border_;
    QColor fill_;
};

// A picture in a sunken border, sized to both; it can take the focus, like any picture box.
class PictureBox : public QFrame {
public:
    PictureBox(QWidget* parent, const QPoint& topLeft, const QPixmap& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};

// Makes the system cursor with the given id the pointer over the control whose mouse event is
// being handled now.
void SetMouseCursor(int systemCursorId);

} // namespace forms
